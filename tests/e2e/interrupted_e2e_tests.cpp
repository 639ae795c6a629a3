// Runs killed at a chosen moment, from outside: the real SetUp.exe or
// Uninstall.exe is stopped as soon as its log shows the line before the step,
// then the same command (or, once the uninstaller is gone, the setup) runs
// again. No entry ever names a program that is no longer there, and the
// machine ends as it should.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr const char* kUninstaller = "C:\\Torvex\\T-ZozerIded\\Uninstall.exe";
// Enough files that a kill lands in the midst of removing them.
constexpr int kExtraFiles = 150;
constexpr DWORD kPollMs = 1;

// All a log holds now, while another process may still write it.
std::string ReadLog(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

class InterruptedRunTest : public SetupTest {
protected:
    void SetUp() override {
        AddHost(2025);
        ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder(),
                                           {2023, 2024}, kExtraFiles));
        ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    }
    // Runs the program to its end, or stops the process doing the work (the
    // uninstaller's second) once `killAt` is in the log. Its exit code, or
    // 0 after a kill.
    DWORD Run(const std::string& program, const std::string& arguments,
              const std::string& killAt = std::string()) {
        DeleteFileA(LogFile().c_str());
        driver::Process process;
        driver::Process worker;
        EXPECT_TRUE(process.Start(program, {{"APPDATA", AppDataFolder()}},
                                  arguments + " /VERYSILENT /LOG=\"" + LogFile() + "\""));
        if (killAt.empty()) {
            EXPECT_TRUE(process.WaitForExit(kRunTimeoutMs)) << program;
            return process.ExitCode();
        }
        const bool uninstaller = program.find("Uninstall.exe") != std::string::npos;
        EXPECT_TRUE(!uninstaller || worker.Adopt(driver::WaitForChildProcess(process.Id())));
        driver::Process& working = uninstaller ? worker : process;
        // Polled closely: the kill should land right after the line.
        const DWORD start = GetTickCount();
        bool seen = false;
        while (!seen && working.IsRunning() && GetTickCount() - start < kRunTimeoutMs) {
            seen = ReadLog(LogFile()).find(killAt) != std::string::npos;
            if (!seen) Sleep(kPollMs);
        }
        working.Kill();
        process.WaitForExit();
        EXPECT_TRUE(seen) << killAt << "\n" << ReadLog(LogFile());
        return 0;
    }
    DWORD Install(const std::string& folder, const std::string& killAt = std::string()) {
        return Run(PackageFolder() + "\\SetUp.exe", "/DIR=\"" + folder + "\"", killAt);
    }
    DWORD Uninstall(const std::string& killAt = std::string()) {
        return Run(kUninstaller, "", killAt);
    }
    static void ExpectNoEntryNamesAMissingProgram(const std::string& row) {
        std::string folder;
        if (driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "InstallLocation", &folder)) {
            EXPECT_TRUE(driver::FileExists(folder + "\\Uninstall.exe")) << row;
        }
        std::string stub;
        if (driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", &stub)) {
            EXPECT_TRUE(driver::FileExists(stub.substr(1, stub.find('"', 1) - 1))) << row;
        }
    }

    static constexpr DWORD kRunTimeoutMs = 60000;
};

TEST_F(InterruptedRunTest, AKilledMoveOrUninstallIsFinishedByTheSameCommand) {
    const std::string earlier = Scratch() + "\\A";
    const std::string settings = AppDataFolder() + "\\Torvex";
    const Snapshot before = Without(TakeSnapshot(false), settings);
    const struct {
        const char* row;
        const char* earlierFolder;  // installed there first, then moved to C:\Torvex
        std::string killAt;
    } rows[] = {
        {"the move, while the earlier folder is cleared", "A",
         "remove " + earlier + "\\T-ZozerIded\\"},
        {"the uninstall, once the stage is gone", nullptr,
         std::string("remove ") + kInstallFolder + "\\UserSetup.exe: ok"},
        {"the uninstall, once the uninstaller is gone", nullptr,
         "move the running uninstaller out of the folder"},
    };
    for (const auto& r : rows) {
        if (r.earlierFolder) {
            ASSERT_EQ(Install(earlier), 0u) << ReadLog(LogFile());
        }
        ASSERT_EQ(Install("C:\\Torvex", r.earlierFolder ? r.killAt : std::string()), 0u) << r.row;
        if (!r.earlierFolder) Uninstall(r.killAt);
        ExpectNoEntryNamesAMissingProgram(r.row);

        // The same command again: the setup's, or the uninstall's while its
        // program is there; else the next setup finishes the uninstall.
        if (r.earlierFolder || !driver::FileExists(kUninstaller)) {
            EXPECT_EQ(Install("C:\\Torvex"), 0u) << r.row << "\n" << ReadLog(LogFile());
            EXPECT_FALSE(driver::FolderExists(earlier)) << r.row;
            ExpectNoEntryNamesAMissingProgram(r.row);
        }
        EXPECT_EQ(Uninstall(), 0u) << r.row << "\n" << ReadLog(LogFile());
        EXPECT_EQ(Without(TakeSnapshot(false), settings), before) << r.row;
    }
}

}  // namespace
}  // namespace e2e
