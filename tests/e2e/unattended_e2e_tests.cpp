// The real SetUp.exe and Uninstall.exe as a deployment tool runs them: the
// commands of docs/deployment.md, no window, exit codes that tell the truth.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/product_version.h"
#include "run/run_log.h"
#include "system/folder_access_win32.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/running_dummy.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/unix_link.h"

namespace e2e {
namespace {

constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
// The commands of docs/deployment.md.
constexpr const char* kSilentInstall =
    "/VERYSILENT /DIR=\"C:\\Torvex\" /LOG=\"C:\\Windows\\Logs\\Software\\Torvex-Setup.log\"";
constexpr const char* kLogFolder = "C:\\Windows\\Logs\\Software";  // made when missing
constexpr const char* kInstallLog = "C:\\Windows\\Logs\\Software\\Torvex-Setup.log";
constexpr const char* kSilentUninstall = "\"C:\\Torvex\\T-ZozerIded\\Uninstall.exe\" /VERYSILENT";
// The queue of the next restart, as it was when made, put back when it goes.
class SavedRestartQueue {
public:
    SavedRestartQueue() { m_saved = Read(&m_type); }
    ~SavedRestartQueue() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        if (m_saved.empty()) {
            RegDeleteValueW(key, kValue);
        } else {
            RegSetValueExW(key, kValue, 0, m_type, reinterpret_cast<const BYTE*>(m_saved.data()),
                           static_cast<DWORD>(m_saved.size()));
        }
        RegCloseKey(key);
    }
    // Carries out the queue as Windows does at a restart.
    static bool Restart() {
        driver::Process wineboot;
        return wineboot.Start("C:\\windows\\system32\\wineboot.exe", {}, "-r") &&
               wineboot.WaitForExit() && Read(nullptr).empty();
    }

private:
    static constexpr const wchar_t* kKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    static constexpr const wchar_t* kValue = L"PendingFileRenameOperations";
    static std::string Read(DWORD* type) {
        std::string data(1 << 16, '\0');
        DWORD size = static_cast<DWORD>(data.size());
        if (RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, type, &data[0],
                         &size) != ERROR_SUCCESS) {
            return std::string();
        }
        data.resize(size);
        return data;
    }
    std::string m_saved;
    DWORD m_type = REG_MULTI_SZ;
};

// Which file a path names (its file index); 0 when none.
ULONGLONG FileIndexOf(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION information = {};
    if (file == INVALID_HANDLE_VALUE) return 0;
    GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    return (ULONGLONG{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
}

class UnattendedTest : public SetupTest {
protected:
    Outcome Setup(const std::string& arguments) {
        return RunCommand("\"" + PackageFolder() + "\\SetUp.exe\" " + arguments,
                          {{"APPDATA", AppDataFolder()}});
    }
    std::string Log() const { return driver::ReadTextFile(Scratch() + "\\silent.log"); }
};

TEST_F(UnattendedTest, SilentInstallAndUninstallDoWhatTheDialogDoes) {
    const std::string host = AddHost(2025);
    const std::string settings = AppDataFolder() + "\\Torvex";
    const Snapshot before = Without(TakeSnapshot(false), settings);
    // The same installation through the dialog, for comparison.
    ASSERT_TRUE(Launch());
    driver::Click(m_dialog, kInstall);
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsItemVisible(m_dialog, kDone); }));
    driver::Click(m_dialog, kDone);
    ASSERT_TRUE(WaitForExit());
    const Snapshot interactive = TakeSnapshot(false);
    std::string quiet;
    ASSERT_TRUE(
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "QuietUninstallString", &quiet));
    EXPECT_EQ(quiet, kSilentUninstall);
    {
        // The code of the second process, which refuses while a host runs,
        // is the first one's.
        RunningDummy cad(driver::WindowsPathOf(DUMMY_HOST_PATH), host, "gcad.exe");
        ASSERT_TRUE(cad.IsReady()) << cad.Failure();
        EXPECT_EQ(RunCommand(quiet).code, 1618u);
    }
    Outcome run = RunCommand(quiet);
    EXPECT_EQ(run.code, 0u);
    EXPECT_EQ(Without(TakeSnapshot(false), settings), before) << "gone before the exit";

    driver::RemoveTree(kLogFolder);
    run = Setup(kSilentInstall);
    const std::string log = driver::ReadTextFile(kInstallLog);
    EXPECT_EQ(run.code, 0u) << log;
    EXPECT_FALSE(run.windowShown);
    EXPECT_EQ(TakeSnapshot(false), interactive);
    std::string version;
    ASSERT_TRUE(
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayVersion", &version));
    EXPECT_EQ(version, FormatSetupVersion(kSetupVersion).str());
    for (const char* line : {"write file C:\\Torvex\\T-ZozerIded\\TX_ZozerIded2023.grx: ok",
                             "registry entry HKEY_CURRENT_USER\\", "exit code 0: success"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }

    // A temporary folder the uninstaller cannot use is said, not passed over.
    const std::string unusable = Scratch() + "\\no such folder";
    run = RunCommand(quiet + " /LOG=\"" + Scratch() + "\\silent.log\"",
                     {{"TMP", unusable}, {"TEMP", unusable}});
    EXPECT_EQ(run.code, 1603u);
    EXPECT_NE(Log().find("temporary folder"), std::string::npos) << Log();
    EXPECT_TRUE(driver::FileExists(std::string(kInstallFolder) + "\\Uninstall.exe"));
    // Both processes write the one log, the second adding to what the first
    // wrote; a relative log is the file in the folder the uninstaller was
    // started from, for the second process too, which runs in its temporary
    // folder.
    run = RunCommand(quiet + " /LOG=silent.log", {}, Scratch());
    EXPECT_EQ(run.code, 0u);
    EXPECT_FALSE(run.windowShown);
    EXPECT_NE(Log().find("protected temporary copy"), std::string::npos) << Log();
    EXPECT_EQ(Without(TakeSnapshot(false), settings), before);
    EXPECT_NE(Log().find("remove C:\\Torvex\\T-ZozerIded\\TX_ZozerIded2023.grx: ok"),
              std::string::npos);
}

// A module in use while the plug-in is uninstalled, read by others or by
// nobody (held without sharing: a scanner, a backup agent).
constexpr DWORD kHeldSharing[] = {FILE_SHARE_READ, 0};

TEST_F(UnattendedTest, AnInstallationBeforeTheRestartTakesOutTheUninstallersQueuedDeletion) {
    const SavedRestartQueue queue;
    const std::string module = AddHost(2025) + "\\GCAD2024P.dll";
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    const std::string silent = "/VERYSILENT /LOG=\"" + Scratch() + "\\silent.log\"";
    for (const DWORD sharing : kHeldSharing) {
        ASSERT_EQ(Setup(silent).code, 0u) << Log();
        const std::string installed = driver::ReadTextFile(module);
        {
            // Deleted at the next restart.
            const HANDLE held = CreateFileA(module.c_str(), GENERIC_READ, sharing, nullptr,
                                            OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            EXPECT_EQ(RunCommand(kSilentUninstall).code, 3010u) << sharing;
            CloseHandle(held);
        }
        EXPECT_EQ(Setup(silent).code, 0u) << Log();
        ASSERT_TRUE(SavedRestartQueue::Restart());
        EXPECT_EQ(driver::ReadTextFile(module), installed) << "the restart left it whole";
        EXPECT_EQ(RunCommand(kSilentUninstall).code, 0u);
        EXPECT_FALSE(driver::FileExists(module)) << "the plug-in's, never kept as the host's";
    }
    // Remembered as an earlier version did: below the plug-in's key, for good.
    ASSERT_EQ(Setup(silent).code, 0u) << Log();
    const std::string installed = driver::ReadTextFile(module);
    {
        const HANDLE held =
            CreateFileA(module.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_EQ(RunCommand(kSilentUninstall).code, 3010u);
        CloseHandle(held);
    }
    const std::string remembered = module + "\r\n";
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex T-ZozerIded restart"), 0);
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex\\T-ZozerIded",
                              "QueuedDeletions", REG_BINARY, remembered.data(), remembered.size()),
              0);
    EXPECT_EQ(Setup(silent).code, 0u) << Log();
    ASSERT_TRUE(SavedRestartQueue::Restart());
    EXPECT_EQ(driver::ReadTextFile(module), installed) << "the restart left the installation whole";
    EXPECT_EQ(RunCommand(kSilentUninstall).code, 0u);
    EXPECT_FALSE(driver::FileExists(module)) << "the plug-in's, never kept as the host's";
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex"));
}

TEST_F(UnattendedTest, TheHostsOwnFileKeptForAModuleInUseComesBackAtTheRestart) {
    const SavedRestartQueue queue;
    const std::string module = AddHost(2025) + "\\GCAD2024P.dll";
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    ASSERT_TRUE(driver::WriteTextFile(module, "the host's"));
    for (const DWORD sharing : kHeldSharing) {
        ASSERT_EQ(Setup("/VERYSILENT /LOG=\"" + Scratch() + "\\silent.log\"").code, 0u) << Log();
        {
            const HANDLE held = CreateFileA(module.c_str(), GENERIC_READ, sharing, nullptr,
                                            OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            EXPECT_EQ(RunCommand(kSilentUninstall).code, 3010u) << sharing;
            CloseHandle(held);
        }
        ASSERT_TRUE(SavedRestartQueue::Restart());
        EXPECT_EQ(driver::ReadTextFile(module), "the host's") << sharing;
    }
}

TEST_F(UnattendedTest, ARepairWithoutThePackagePutsBackWhatWasRemovedOrChanged) {
    const std::string host = AddHost(2025);
    ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    const Snapshot before = TakeSnapshot(false);
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    const std::string logged = " /LOG=\"" + Scratch() + "\\silent.log\"";
    ASSERT_EQ(Setup("/VERYSILENT" + logged).code, 0u) << Log();
    const Snapshot installed = TakeSnapshot(true);
    driver::RemoveTree(PackageFolder());
    // Host modules, a font, the plug-in's own files (one changed), the
    // per-user stage, the record and an "Applications" entry of this account.
    const std::string install = kInstallFolder;
    for (const std::string& file :
         {host + "\\GCAD2023P.dll", host + "\\GCAD2024P.dll", host + "\\Fonts\\Torvex_HZ.shx",
          install + "\\TX_ZozerIded2023.grx", install + "\\UserSetup.exe",
          install + "\\InstallRecord.txt"}) {
        ASSERT_TRUE(DeleteFileA(file.c_str())) << file;
    }
    ASSERT_TRUE(driver::WriteTextFile(install + "\\itextsharp.dll", "changed"));
    const std::string applications = std::string(kProduct) + "\\R25\\zh-CN\\Applications";
    const std::vector<std::string> entries = driver::SubKeyNames(HKEY_CURRENT_USER, applications);
    ASSERT_FALSE(entries.empty());
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, (applications + "\\" + entries[0]).c_str()), 0);
    const std::string uninstaller = install + "\\Uninstall.exe";
    const ULONGLONG running = FileIndexOf(uninstaller);
    ASSERT_NE(running, 0u);

    const Outcome repair =
        RunCommand("\"" + install + "\\Uninstall.exe\" /REPAIR /VERYSILENT" + logged,
                   {{"APPDATA", AppDataFolder()}});
    EXPECT_EQ(repair.code, 0u) << Log();
    EXPECT_FALSE(repair.windowShown);
    // The uninstaller that started the repair, still running, is left as it
    // is: the same file, never written anew.
    EXPECT_EQ(FileIndexOf(uninstaller), running);
    EXPECT_EQ(TakeSnapshot(true), installed);
    EXPECT_EQ(driver::ReadTextFile(install + "\\itextsharp.dll"), "sample itextsharp.dll\r\n");
    EXPECT_EQ(RunCommand(kSilentUninstall).code, 0u);
    EXPECT_EQ(Without(TakeSnapshot(false), AppDataFolder() + "\\Torvex"),
              Without(before, AppDataFolder() + "\\Torvex"));
}

TEST_F(UnattendedTest, ExitCodesTellWhyNothingWasInstalled) {
    const std::string host = AddHost(2025);
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    const Snapshot before = TakeSnapshot(true);
    const std::string logged = " /LOG=\"" + Scratch() + "\\silent.log\"";
    const std::string silent = "/VERYSILENT" + logged;

    // A bad switch before the silent one: no window, and the log says which.
    const Outcome bogus = Setup("/BOGUS " + silent);
    EXPECT_EQ(bogus.code, 1639u);
    EXPECT_FALSE(bogus.windowShown);
    EXPECT_NE(Log().find("bad command line: /BOGUS: unknown switch"), std::string::npos) << Log();
    EXPECT_EQ(Setup(silent + " /DIR=relative").code, 1639u);
    {
        // A hard link planted at the log's name: its file stays as it is, and
        // a new log in the temporary folder says why nothing was done.
        const std::string target = Scratch() + "\\someone's.txt";
        const std::string temp = Scratch() + "\\temp";
        ASSERT_TRUE(driver::WriteTextFile(target, "keep me"));
        ASSERT_TRUE(driver::CreateFolders(temp));
        ASSERT_TRUE(
            CreateHardLinkA((Scratch() + "\\planted.log").c_str(), target.c_str(), nullptr));
        const Outcome planted =
            RunCommand("\"" + PackageFolder() + "\\SetUp.exe\" /VERYSILENT /LOG=\"" + Scratch() +
                           "\\planted.log\"",
                       {{"TMP", temp}, {"TEMP", temp}});
        EXPECT_EQ(planted.code, 1603u);
        EXPECT_EQ(driver::ReadTextFile(target), "keep me");
        const std::vector<std::string> logs = FilesIn(temp);
        ASSERT_EQ(logs.size(), 1u);
        const std::string log = driver::ReadTextFile(temp + "\\" + logs[0]);
        EXPECT_NE(log.find("log file refused, nothing was changed: "), std::string::npos) << log;
        EXPECT_NE(log.find("planted.log: a file with 2 names"), std::string::npos) << log;
        // No log named: a silent run writes a new one all the same.
        const Outcome unnamed =
            RunCommand("\"" + PackageFolder() + "\\SetUp.exe\" /VERYSILENT /DIR=relative",
                       {{"TMP", temp}, {"TEMP", temp}});
        EXPECT_EQ(unnamed.code, 1639u);
        const std::vector<std::string> logsNow = FilesIn(temp);
        ASSERT_EQ(logsNow.size(), 2u);
        const std::string added = logsNow[0] == logs[0] ? logsNow[1] : logsNow[0];
        EXPECT_EQ(added.rfind(kSetupLogStem, 0), 0u) << added;
        const std::string unnamedLog = driver::ReadTextFile(temp + "\\" + added);
        EXPECT_NE(unnamedLog.find("exit code 1639"), std::string::npos) << unnamedLog;
    }
    {
        // An existing folder everyone may change: refused, and named.
        ASSERT_TRUE(driver::CreateFolders("C:\\Torvex"));
        ASSERT_TRUE(StartUnixChmod("C:\\Torvex", "0777"));
        ASSERT_TRUE(driver::WaitUntil([] { return !FindUnsafeFolders("C:\\Torvex").empty(); }));
        EXPECT_EQ(Setup(silent + " /DIR=C:\\Torvex").code, 1603u);
        EXPECT_NE(Log().find("C:\\Torvex (it may be renamed or deleted"), std::string::npos)
            << Log();
        EXPECT_FALSE(driver::FolderExists(kInstallFolder));
        driver::RemoveTree("C:\\Torvex");
    }
    {
        // A host runs: try again later.
        const std::string hostExe = host + "\\gcad.exe";
        ASSERT_TRUE(
            CopyFileA(driver::WindowsPathOf(DUMMY_HOST_PATH).c_str(), hostExe.c_str(), FALSE));
        driver::Process gcad;
        ASSERT_TRUE(gcad.Start(hostExe));
        EXPECT_EQ(Setup(silent).code, 1618u) << Log();
        gcad.Kill();
        ASSERT_TRUE(driver::WaitUntil([&] { return DeleteFileA(hostExe.c_str()) != FALSE; }));
    }
    {
        // A file that stays locked: retried, then rolled back.
        FileLock lock(std::string(kInstallFolder) + "\\itextsharp.dll");
        ASSERT_TRUE(lock.IsHeld());
        EXPECT_EQ(Setup(silent).code, 1603u) << Log();
        EXPECT_NE(Log().find("answered: Abort"), std::string::npos) << Log();
    }
    {
        // A run killed after it wrote a file into the host folder: the next
        // run undoes it before anything else, within the hosts it finds.
        const std::string planted = host + "\\planted.dll";
        const std::string journal = "new\t" + planted + "\r\n";
        ASSERT_TRUE(driver::WriteTextFile(planted, "killed run's"));
        ASSERT_TRUE(
            driver::WriteTextFile(std::string(kInstallFolder) + "\\InstallJournal.txt", journal));
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex\\T-ZozerIded",
                             "InstallationUnderWay", REG_BINARY, kInstallFolder,
                             static_cast<DWORD>(std::string(kInstallFolder).size())));
        // No release to serve: only releases this machine lacks are named.
        for (const std::string mode : {"/VERYSILENT", "/SILENT"}) {
            const Outcome run = Setup(mode + logged + " /COMPONENTS=2024");
            EXPECT_EQ(run.code, 1603u) << mode;
            EXPECT_NE(Log().find("no release to serve"), std::string::npos) << mode << Log();
            EXPECT_FALSE(run.windowShown) << mode;
        }
        EXPECT_FALSE(driver::FileExists(planted));
    }
    driver::RemoveTree("C:\\Torvex");
    EXPECT_EQ(TakeSnapshot(true), before);
    {
        // Another program queued work on a file the installation writes.
        const SavedRestartQueue queue;
        ASSERT_TRUE(driver::WriteTextFile(host + "\\GCAD2024P.dll", "the host's"));
        ASSERT_TRUE(
            MoveFileExA((host + "\\GCAD2024P.dll").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
        const Snapshot queued = TakeSnapshot(true);
        EXPECT_EQ(Setup(silent).code, 350u) << Log();
        EXPECT_EQ(TakeSnapshot(true), queued);
        ASSERT_TRUE(DeleteFileA((host + "\\GCAD2024P.dll").c_str()));
    }
    // A drive this machine lacks: no retry can mend it.
    EXPECT_EQ(Setup(silent + " /DIR=\"Q:\\Torvex\"").code, 1603u) << Log();
    EXPECT_NE(Log().find("not retried: error "), std::string::npos) << Log();
    driver::RemoveTree(PackageFolder() + "\\Data");
    EXPECT_EQ(Setup(silent).code, 1603u) << Log();
    EXPECT_EQ(TakeSnapshot(true), before);
}

}  // namespace
}  // namespace e2e
