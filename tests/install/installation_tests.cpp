// The installation flow in-process on Wine's real file system and a
// sandboxed registry: what it leaves for its uninstaller, and one
// installation per machine.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_app_name.h"
#include "hosts/host_discovery.h"
#include "install/folder_checks.h"
#include "install/installation.h"
#include "install/offered.h"
#include "install/package_check.h"
#include "record/record_store.h"
#include "removal/restart_queue.h"
#include "run/product_version.h"
#include "run/run_contract.h"
#include "system/file_copy.h"
#include "system/file_ops.h"
#include "system/folder_access_win32.h"
#include "system/folder_security.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/install/installation_fixture.h"
#include "tests/support/box_recorder.h"
#include "tests/support/running_dummy.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "text/path_text.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"
#include "uninstall/uninstaller.h"

namespace {

using Origin = InstallRecord::Origin;

constexpr char kHostKey[] = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN";
// Where the restart's queue is; a value of another type there cannot be read.
constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";

TEST_F(InstallationTest, NoEntryNamesAnUninstallerWithoutItsRecord) {
    ASSERT_TRUE(driver::CreateFolders((temp / "A\\T-ZozerIded\\InstallRecord.txt").str()));
    EXPECT_EQ(Install("A"), InstallResult::Incomplete);
    EXPECT_TRUE(ReadInstalledFolder().IsEmpty());
    EXPECT_EQ(EnteredVersion(), "") << "no stage for logons without an uninstaller";
}

TEST_F(InstallationTest, OnlyACompleteInstallationExitsWithSuccess) {
    const struct {
        InstallResult result;
        RunMode mode;
        int code;
    } cases[] = {
        {InstallResult::Complete, RunMode::VerySilent, exit_code::kSuccess},
        {InstallResult::CompleteAtRestart, RunMode::Interactive, exit_code::kRestartRequired},
        {InstallResult::Incomplete, RunMode::VerySilent, exit_code::kFailed},
        {InstallResult::Incomplete, RunMode::Interactive, exit_code::kFailed},
        {InstallResult::Aborted, RunMode::Interactive, exit_code::kUserCancelled},
        {InstallResult::Aborted, RunMode::Silent, exit_code::kFailed},
        {InstallResult::Failed, RunMode::VerySilent, exit_code::kFailed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExitCodeOf(c.result, c.mode), c.code) << static_cast<int>(c.result);
    }
}

TEST_F(InstallationTest, AnInstallationOverALostRecordTakesBackItsOwnFiles) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    ASSERT_TRUE(DeleteFileA(temp / "A\\T-ZozerIded\\InstallRecord.txt"));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex");
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    for (const InstallRecord::File& file : RecordOf("A").files) {
        EXPECT_NE(file.origin, Origin::Replaced) << file.path;
    }
}

TEST_F(InstallationTest, ASecondInstallationIntoTheFolderKeepsTheFirstOnesItems) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    const InstallRecord first = RecordOf("A");
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    const InstallRecord second = RecordOf("A");
    EXPECT_EQ(second.createdFolders, first.createdFolders);
    EXPECT_EQ(second.files.size(), first.files.size());
    EXPECT_EQ(EnteredVersion(), BuiltVersion()) << "not moved: users served stay served";
    for (const InstallRecord::File& file : second.files) {
        EXPECT_NE(file.origin, Origin::Replaced) << file.path;
    }
}

TEST_F(InstallationTest, AHostFileUpdatedSinceTheInstallationIsKeptAndComesBack) {
    const std::string library = (temp / "host\\itextsharp.dll").str();
    UninstallRun uninstall;
    uninstall.mode = RunMode::VerySilent;
    uninstall.secondPhaseFolder = temp / "A\\T-ZozerIded";
    // Read from the folder's record, and from the machine's copy alone once
    // the folder was deleted by hand.
    for (const bool folderDeleted : {false, true}) {
        ASSERT_EQ(Install("A"), InstallResult::Complete);
        // The CAD updates itself: its own library, of the same size.
        std::string updated = driver::ReadTextFile(library);
        updated[0] = static_cast<char>(updated[0] ^ 1);
        ASSERT_TRUE(driver::WriteTextFile(library, updated));
        if (folderDeleted) driver::RemoveTree((temp / "A").str());
        const InstallRequest request = RequestFor("A");
        NoProgress progress;
        machine.earlier = EarlierRecords::Read();
        Installation again(request, machine, progress, log, nullptr);
        ASSERT_EQ(again.Run(), InstallResult::Complete);
        EXPECT_NE(again.Notice().Narrow().str().find(library), std::string::npos) << folderDeleted;
        EXPECT_EQ(RunUninstaller(uninstall, hosts, log), exit_code::kSuccess);
        EXPECT_EQ(driver::ReadTextFile(library), updated) << folderDeleted;
        ASSERT_TRUE(DeleteFileA(library.c_str()));
    }
}

TEST_F(InstallationTest, ARecordInAFolderNothingNamesIsNotBelieved) {
    // Planted where neither Programs and Features nor the machine's copy
    // points: it claims the host's own file as the plug-in's.
    const std::string library = (temp / "host\\itextsharp.dll").str();
    ASSERT_TRUE(driver::WriteTextFile(library, "the host's"));
    CopiedFile hosts;
    ASSERT_TRUE(HashFile(library.c_str(), &hosts));
    InstallRecord planted;
    planted.installFolder = temp / "C\\T-ZozerIded";
    planted.version = "2025.10.30";
    planted.files.push_back({library.c_str(), hosts.size, Origin::New, hosts.sha256});
    ASSERT_TRUE(driver::CreateFolders(planted.installFolder.str()));
    ASSERT_TRUE(driver::WriteTextFile((planted.installFolder + "\\InstallRecord.txt").str(),
                                      FormatInstallRecord(planted).str()));
    ASSERT_EQ(Install("C"), InstallResult::Complete);
    EXPECT_EQ(RecordOf("C").keptFiles.size(), 1u) << "the host's file was taken as the plug-in's";
}

// Each folder created, with the descriptor it was created with.
struct FolderDescriptors : CreatedFolderRecorder {
    void Created(const char* folder, const std::string& sddl) override { made[folder] = sddl; }
    std::map<std::string, std::string> made;
};

TEST_F(InstallationTest, TheKeptPackageServesAnInstallationOnlyWhileItIsWhatWasRecorded) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    const InstallRecord before = RecordOf("A");
    driver::RemoveTree(package.str());
    const CString plugIn = temp / "A\\T-ZozerIded\\TX_ZozerIded2023.grx";
    const CString module = temp / "host\\GCAD2024P.dll";
    ASSERT_TRUE(DeleteFileA(plugIn) && DeleteFileA(module));
    const InstallRequest request =
        MakeInstallRequest(temp / "A", {HostRelease::R2025}, PackageSource::KeptByInstallation);
    std::vector<CString> faults;
    ASSERT_EQ(CheckPackage(request, EarlierRecords::Read(), &faults), PackageCheck::Complete);
    ASSERT_EQ(Install(request), InstallResult::Complete);
    EXPECT_TRUE(driver::FileExists(plugIn.str()) && driver::FileExists(module.str()));
    const InstallRecord after = RecordOf("A");
    ASSERT_EQ(after.files.size(), before.files.size());
    for (size_t i = 0; i < after.files.size(); ++i) {
        EXPECT_EQ(after.files[i].sha256, before.files[i].sha256) << after.files[i].path;
    }
    // A kept file changed since (its record file rewritten to fit), or one
    // nobody recorded: nothing is installed from it.
    const CString kept = temp / "A\\T-ZozerIded\\Data\\";
    ASSERT_TRUE(
        driver::WriteTextFile((kept + "itextsharp.dll").str(), "sample itextsharp.dlX\r\n"));
    CopiedFile changed;
    ASSERT_TRUE(HashFile(kept + "itextsharp.dll", &changed));
    const std::string recordFile = (temp / "A\\T-ZozerIded\\InstallRecord.txt").str();
    std::string text = driver::ReadTextFile(recordFile);
    const std::string line = "\t" + (kept + "itextsharp.dll").str();
    const size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    text.replace(at - changed.sha256.GetLength(), changed.sha256.GetLength(), changed.sha256.str());
    ASSERT_TRUE(driver::WriteTextFile(recordFile, text));
    ASSERT_TRUE(driver::WriteTextFile((kept + "planted.dll").str(), "planted"));
    EXPECT_EQ(CheckPackage(request, EarlierRecords::Read(), &faults), PackageCheck::KeptDamaged);
    EXPECT_EQ(faults, (std::vector<CString>{"itextsharp.dll", "planted.dll"}));
}

TEST_F(InstallationTest, EveryFolderMadeIsProtectedTheMissingParentsToo) {
    ASSERT_TRUE(driver::WriteTextFile((temp / "host\\itextsharp.dll").str(), "the host's"));
    FolderDescriptors created;
    const ScopedCreatedFolderRecorder recording(created);
    ASSERT_EQ(Install("D\\Apps\\Torvex"), InstallResult::Complete);
    const std::string protectedSddl =
        "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
    const std::string install = (temp / "D\\Apps\\Torvex\\T-ZozerIded").str();
    std::map<std::string, std::string> expected;
    for (const std::string& folder :
         {(temp / "D").str(), (temp / "D\\Apps").str(), (temp / "D\\Apps\\Torvex").str(), install,
          install + "\\Kept", install + "\\UserSettings", install + "\\Data"}) {
        expected[folder] = protectedSddl;
    }
    // The user's own settings folder stays theirs.
    expected[(appData + "\\Torvex").str()] = "";
    EXPECT_EQ(created.made, expected);

    UninstallRun uninstall;
    uninstall.mode = RunMode::VerySilent;
    uninstall.secondPhaseFolder = install.c_str();
    EXPECT_EQ(RunUninstaller(uninstall, hosts, log), exit_code::kSuccess);
    EXPECT_FALSE(driver::FolderExists((temp / "D").str())) << "every folder made went";
}

TEST_F(InstallationTest, AChosenFolderAnEarlierInstallationMadeIsProtectedAnewNotRefused) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    // Only the file in the folder answers, as on a machine whose copy was lost.
    DeletePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue);
    InstallRequest request = RequestFor("A");
    const CString& chosen = request.chosenFolder;
    const CString& install = request.installFolder;
    // Made before its folders were protected: it has the rights of the folder above.
    ASSERT_TRUE(StartUnixChmod(chosen.str(), "0777") && StartUnixChmod(install.str(), "0777"));
    ASSERT_TRUE(driver::WaitUntil([&] { return FindUnsafeFolders(install).size() == 2; }));
    bool anew = true;
    const EarlierRecords earlier = EarlierRecords::Read();
    EXPECT_FALSE(FindUnsafeChosenFolders(chosen, install, earlier, &anew).empty());
    EXPECT_FALSE(anew) << "a record in a folder users may change is believed";
    ASSERT_TRUE(StartUnixChmod(install.str(), "0755"));
    ASSERT_TRUE(driver::WaitUntil([&] { return FindUnsafeFolders(install).size() == 1; }));
    EXPECT_TRUE(FindUnsafeChosenFolders(chosen, install, earlier, &request.protectChosenFolderAnew)
                    .empty());
    ASSERT_EQ(Install(request), InstallResult::Complete);
    EXPECT_TRUE(FindUnsafeFolders(chosen).empty()) << "not protected anew";
}

TEST_F(InstallationTest, ASilentRunDoesNotRetryAFailureThatNoRetryMendsAndLogsItsError) {
    // A file where a folder of the chain should be: no folder can be made.
    ASSERT_TRUE(driver::WriteTextFile((temp / "blocker").str(), "a file"));
    InstallRequest request = RequestFor("blocker\\Torvex");
    request.unattended = true;
    {
        RunLog silent;
        CString refusal;
        ASSERT_TRUE(silent.Open(temp / "silent.log", false, &refusal));
        NoProgress progress;
        EXPECT_EQ(Installation(request, machine, progress, silent, nullptr).Run(),
                  InstallResult::Aborted);
    }
    EXPECT_TRUE(boxes.boxes.empty()) << "asked again: " << boxes.boxes[0].text;
    const std::string written = driver::ReadTextFile((temp / "silent.log").str());
    EXPECT_NE(written.find("failed (error 3: "), std::string::npos) << written;
    EXPECT_NE(written.find("not retried: error 3 "), std::string::npos) << written;
}

TEST_F(InstallationTest, InstallingElsewhereMovesTheInstallation) {
    ASSERT_TRUE(driver::WriteTextFile((temp / "host\\itextsharp.dll").str(), "the host's"));
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    ASSERT_EQ(Install("B"), InstallResult::Complete);
    EXPECT_FALSE(driver::FolderExists((temp / "A").str())) << "the earlier folder went";
    EXPECT_EQ(ReadInstalledFolder(), temp / "B\\T-ZozerIded");
    const InstallRecord moved = RecordOf("B");
    ASSERT_EQ(moved.keptFiles.size(), 1u) << "the host's own file passed to the new record";
    EXPECT_EQ(driver::ReadTextFile(moved.keptFiles[0].keptAs.str()), "the host's");
    EXPECT_TRUE(driver::FileExists((temp / "host\\GCAD2024P.dll").str()));

    // The earlier installation's uninstaller, had it stayed, refuses.
    UninstallRun run;
    run.secondPhaseFolder = temp / "A\\T-ZozerIded";
    EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kFailed);
    ASSERT_FALSE(boxes.boxes.empty());
    EXPECT_NE(boxes.boxes.back().text.find((temp / "B\\T-ZozerIded").str()), std::string::npos);
    EXPECT_TRUE(driver::FileExists((temp / "host\\GCAD2024P.dll").str()));
    // Each move serves every user again.
    EXPECT_EQ(EnteredVersion(), BuiltVersion(",1"));
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    EXPECT_EQ(EnteredVersion(), BuiltVersion(",2"));
    // The kept files' folder the move made goes with the rest.
    run.mode = RunMode::VerySilent;
    run.secondPhaseFolder = temp / "A\\T-ZozerIded";
    EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kSuccess);
    EXPECT_FALSE(driver::FolderExists((temp / "A").str()));
}

TEST_F(InstallationTest, AHostsFileThatCannotBeReadIsInUseNeverTheHostsOwnNow) {
    const CString library = temp / "host\\itextsharp.dll";
    ASSERT_TRUE(driver::WriteTextFile(library.str(), "the host's"));
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    const CString kept = RecordOf("A").keptFiles.at(0).keptAs;
    {
        // Read by nobody, renamed aside all the same: replaced as the
        // plug-in's, never kept as the host's.
        const afx::ScopedKernelHandle held(CreateFileA(temp / "host\\GCAD2024P.dll", GENERIC_READ,
                                                       FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                                       nullptr));
        ASSERT_TRUE(held);
        ASSERT_EQ(Install("A"), InstallResult::Complete);
        EXPECT_EQ(RecordOf("A").keptFiles.size(), 1u);
    }
    UninstallRun run;
    run.mode = RunMode::VerySilent;
    run.secondPhaseFolder = temp / "A\\T-ZozerIded";
    {
        // Held without sharing where not even the restart can be asked (its
        // queue unreadable): never judged changed, the host's own never
        // dropped; the uninstall stops with it recorded.
        const afx::ScopedKernelHandle held(
            CreateFileA(library, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations",
                             REG_SZ, "x", 2));
        EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kFailed);
        EXPECT_EQ(ReadInstalledFolder(), run.secondPhaseFolder);
        EXPECT_EQ(driver::ReadTextFile(kept.str()), "the host's");
    }
    ASSERT_EQ(
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"),
        ERROR_SUCCESS);
    // The next run tries again.
    EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kSuccess);
    EXPECT_EQ(driver::ReadTextFile(library.str()), "the host's");
}

TEST_F(InstallationTest, AModuleInUseOfAReleaseLeftOutGoesAtTheRestart) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    const CString module = temp / "host\\GCAD2024P.dll";
    const afx::ScopedKernelHandle held(
        CreateFileA(module, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    InstallRequest request = RequestFor("A");
    request.releases = ReleaseSelection();
    // Where not even the restart can be asked, it stays recorded for the next run.
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", REG_SZ,
                         "x", 2));
    EXPECT_EQ(Install(request), InstallResult::Incomplete);
    const InstallRecord record = RecordOf("A");
    EXPECT_TRUE(std::any_of(record.files.begin(), record.files.end(),
                            [&](const InstallRecord::File& f) { return f.path == module; }));
    ASSERT_EQ(
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations"),
        ERROR_SUCCESS);
    EXPECT_EQ(Install(request), InstallResult::CompleteAtRestart);
    EXPECT_TRUE(RestartQueue().HoldsOwnDeletionOf(module));
}

TEST_F(InstallationTest, AnUninstallKilledOnceItsRecordFileWentIsFinishedByTheNextSetup) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    const CString folder = temp / "A\\T-ZozerIded";
    ASSERT_TRUE(driver::FileExists((temp / "host\\GCAD2024P.dll").str()));
    // Killed with its mark set, the entry, the record file and the uninstaller gone.
    ASSERT_TRUE(WritePluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue, folder));
    DeleteUninstallEntry();
    ASSERT_TRUE(DeleteFileA(folder + "\\InstallRecord.txt") &&
                DeleteFileA(folder + "\\Uninstall.exe"));
    FinishInterruptedUninstall(CString(), hosts, log);
    EXPECT_FALSE(driver::FolderExists((temp / "A").str()));
    EXPECT_FALSE(driver::FileExists((temp / "host\\GCAD2024P.dll").str()));
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex")) << "record and mark";
}

TEST_F(InstallationTest, TheUninstallerWaitsForTheCadToCloseAndSaysWhatWaitsForARestart) {
    ASSERT_EQ(Install("A"), InstallResult::Complete);
    ASSERT_TRUE(driver::CreateFolders((temp / "bin").str()));
    const CString module = temp / "host\\GCAD2024P.dll";
    UninstallRun run;
    run.mode = RunMode::VerySilent;
    run.secondPhaseFolder = temp / "A\\T-ZozerIded";
    {
        RunningDummy cad(driver::WindowsPathOf(DUMMY_HOST_PATH), (temp / "bin").str(), "gcad.exe");
        ASSERT_TRUE(cad.IsReady());
        EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kBusy);
        EXPECT_TRUE(driver::FileExists(module.str()));
    }
    // A module still held once the CAD is closed goes at the next restart.
    const afx::ScopedKernelHandle held(
        CreateFileA(module, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kRestartRequired);
}

TEST_F(InstallationTest, AnUpgradeStartsOnlyFromAnEntryOfThisPlugIn) {
    const struct {
        const char* location;
        const char* chosen;
    } cases[] = {
        {"D:\\Tools\\T-ZozerIded", "D:\\Tools"},
        {"D:\\T-ZozerIded", "D:\\"},
        {"D:\\Tools\\Other", ""},
        {"T-ZozerIded", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteUninstallEntry({c.location, kSetupVersion, 1}));
        EXPECT_EQ(PreviouslyChosenFolder(EarlierRecords::Read()), c.chosen) << c.location;
    }
    // The plug-in's folder under its short name.
    ASSERT_TRUE(driver::CreateFolders((temp / "Chosen Folder\\T-ZozerIded").str()));
    const CString shortName = ShortNameOf(temp / "Chosen Folder\\T-ZozerIded");
    ASSERT_TRUE(WriteUninstallEntry({shortName, kSetupVersion, 1}));
    EXPECT_EQ(PreviouslyChosenFolder(EarlierRecords::Read()), ParentFolder(shortName));
}

TEST_F(InstallationTest, TheFolderUnderItsShortNameIsTheSameInstallationNotAMove) {
    // The host's folder too: by its long name, then by its short one.
    const CString hostFolder = temp / "Host Folder";
    driver::HostEntry host{HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarCAD", "R25\\zh-CN",
                           hostFolder.str()};
    sample.AddHost(host);
    machine.hosts = DiscoverHostInstallations();
    ASSERT_EQ(Install("Chosen Folder"), InstallResult::Complete);
    const InstallRecord first = RecordOf("Chosen Folder");
    host.folder = ShortNameOf(hostFolder).str();
    sample.AddHost(host, false);
    machine.hosts = DiscoverHostInstallations();
    InstallRequest request = RequestFor("Chosen Folder");
    request.chosenFolder = ShortNameOf(request.chosenFolder);
    request.installFolder = request.chosenFolder + "\\T-ZozerIded";
    ASSERT_EQ(Install(request), InstallResult::Complete);
    for (const InstallRecord::File& file : first.files) {
        EXPECT_TRUE(driver::FileExists(file.path.str())) << file.path.str();
    }
    EXPECT_EQ(ReadInstalledFolder(), request.installFolder);
    EXPECT_FALSE(EnteredVersion().empty()) << "the stage stays entered";
    UninstallRun run;
    run.mode = RunMode::VerySilent;
    run.secondPhaseFolder = request.installFolder;
    EXPECT_EQ(RunUninstaller(run, hosts, log), exit_code::kSuccess);
    EXPECT_FALSE(driver::FolderExists((temp / "Chosen Folder").str()));
    EXPECT_FALSE(driver::FileExists((hostFolder + "\\GCAD2024P.dll").str())) << "never the host's";
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex")) << "record and mark";
}

TEST_F(InstallationTest, ALinkAtTheInstallationFolderItselfIsFound) {
    ASSERT_TRUE(driver::CreateFolders((temp / "C\\elsewhere").str()));
    ASSERT_TRUE(MakeUnixLink((temp / "C").str(), "elsewhere", "T-ZozerIded"));
    EXPECT_EQ(LinkedFolderOf(temp / "C", temp / "C\\T-ZozerIded"), temp / "C\\T-ZozerIded");
    EXPECT_TRUE(LinkedFolderOf(temp / "A", temp / "A\\T-ZozerIded").IsEmpty());
    EXPECT_TRUE(RemoveUnixLink((temp / "C").str(), "T-ZozerIded"));
}

TEST_F(InstallationTest, AServiceAccountServesNoProfileOfItsOwnButEveryUserAtLogon) {
    sample.AddHost(
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Gstarsoft\\GstarCAD", "R25\\zh-CN", (temp / "host").str()});
    InstallRequest request = RequestFor("A");
    request.servesOwnProfile = false;
    EXPECT_EQ(Install(request), InstallResult::Complete);
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, std::string(kHostKey) + "\\Applications"));
    EXPECT_EQ(GetPathKind(appData + "\\Torvex"), PathKind::Absent);
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, kActiveSetupKey)) << "stamped as served";
    EXPECT_EQ(RecordOf("A").releases.size(), 1u) << "the stage serves the hosts served";
    // The stage, and its command for every user's logon.
    const CString stage = request.installFolder + "\\UserSetup.exe";
    EXPECT_TRUE(SameContent(stage, driver::WindowsPathOf(USER_SETUP_EXE_PATH).c_str()));
    std::string command;
    std::string version;
    DWORD installed = 0;
    EXPECT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", &command));
    EXPECT_EQ(command, "\"" + stage.str() + "\" /ACTIVESETUP");
    EXPECT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", &version));
    EXPECT_EQ(version, BuiltVersion());
    EXPECT_TRUE(driver::ReadDword(HKEY_LOCAL_MACHINE, kActiveSetupKey, "IsInstalled", &installed));
    EXPECT_EQ(installed, 1u);
}

}  // namespace
