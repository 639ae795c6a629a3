// Runs killed at a chosen moment, from outside: the real SetUp.exe or
// Uninstall.exe is stopped as it writes the line that reports a step to its
// log, then the same command (or, once the uninstaller is gone, the setup)
// runs again. No entry ever names a program that is gone, and the machine ends
// as it should.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_fixture.h"
#include "tools/driver/write_watch.h"

namespace e2e {
namespace {

constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr const char* kUninstaller = "C:\\Torvex\\T-ZozerIded\\Uninstall.exe";
// Enough files that a kill lands in the midst of removing them.
constexpr int kExtraFiles = 150;
constexpr DWORD kRunTimeoutMs = 60000;

// All a log holds now: driver::ReadTextFile cannot share it with its writer.
std::string ReadLog(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[4096];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof(buffer), &got, nullptr) &&
           got) {
        text.append(buffer, got);
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return text;
}

void ExpectNoEntryNamesAMissingProgram(const std::string& row) {
    std::string folder;
    std::string stub;
    if (driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "InstallLocation", &folder)) {
        EXPECT_TRUE(driver::FileExists(folder + "\\Uninstall.exe")) << row;
    }
    if (driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", &stub)) {
        EXPECT_TRUE(driver::FileExists(stub.substr(1, stub.find('"', 1) - 1))) << row;
    }
}

// The folder the mark of an uninstall under way names; empty without one.
std::string UninstallMark() {
    DWORD type = REG_NONE;
    std::string folder;
    driver::ReadValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Torvex\\T-ZozerIded", "UninstallUnderWay",
                      &type, &folder);
    return folder;
}

class InterruptedRunTest : public SetupTest {
protected:
    // The package beside SetUp.exe, with the extra files, and the settings folder.
    void LayOut() {
        ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder(),
                                           {2023, 2024}, kExtraFiles));
        ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    }
    // The machine but the user's settings, which an uninstall leaves.
    Snapshot Machine() const { return Without(TakeSnapshot(false), AppDataFolder() + "\\Torvex"); }
    // Runs the setup (`setup`, else the package's, into `folder`) or else the
    // uninstaller (with `task`) to its end, or stops the process doing the
    // work (the uninstaller's second) as it writes `killAt` to the log. Its exit
    // code; 0 after a kill.
    DWORD Run(const char* folder, const std::string& killAt = std::string(),
              const std::string& setup = std::string(), const std::string& task = std::string()) {
        DeleteFileA(LogFile().c_str());
        driver::Process process;
        driver::Process worker;
        const std::string log = " /VERYSILENT /LOG=\"" + LogFile() + "\"";
        const std::string program = setup.empty() ? PackageFolder() + "\\SetUp.exe" : setup;
        EXPECT_TRUE(folder
                        ? process.Start(program, {{"APPDATA", AppDataFolder()}},
                                        "/DIR=\"" + std::string(folder) + "\"" + log)
                        : process.Start(kUninstaller, {{"APPDATA", AppDataFolder()}}, task + log));
        if (killAt.empty()) {
            EXPECT_TRUE(process.WaitForExit(kRunTimeoutMs));
            return process.ExitCode();
        }
        EXPECT_TRUE(folder || worker.Adopt(driver::WaitForChildProcess(process.Id())));
        const driver::Process& working = folder ? process : worker;
        // Watched once it runs its own code (its command line logged): Wine
        // may hang a debugger that attaches while a process starts.
        const char* started = folder ? "command line: " : "/SECONDPHASE";
        EXPECT_TRUE(driver::WaitUntil(
            [&] { return ReadLog(LogFile()).find(started) != std::string::npos; }));
        // Never a run that ended before: its step after the line undone.
        EXPECT_TRUE(driver::KillAtWrite(working.Id(), killAt, kRunTimeoutMs)) << killAt << "\n"
                                                                              << ReadLog(LogFile());
        process.WaitForExit();
        return 0;
    }
};

TEST_F(InterruptedRunTest, AKilledMoveOrUninstallIsFinishedByTheSameCommand) {
    AddHost(2025);
    LayOut();
    const std::string earlier = Scratch() + "\\A";
    const Snapshot before = Machine();
    const struct {
        const char* row;
        bool moved;  // installed into the earlier folder first, then into C:\Torvex
        std::string killAt;
    } rows[] = {
        {"the move, clearing the earlier folder", true, "remove " + earlier + "\\T-ZozerIded\\"},
        {"the uninstall, the stage gone", false,
         std::string("remove ") + kInstallFolder + "\\UserSetup.exe: ok"},
        {"the uninstall, the uninstaller gone", false,
         "move the running uninstaller out of the folder"},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(!r.moved || Run(earlier.c_str()) == 0u) << ReadLog(LogFile());
        ASSERT_EQ(Run("C:\\Torvex", r.moved ? r.killAt : ""), 0u) << r.row;
        if (!r.moved) {
            Run(nullptr, r.killAt);
            EXPECT_EQ(UninstallMark(), kInstallFolder) << r.row;
        }
        ExpectNoEntryNamesAMissingProgram(r.row);
        // The same command again: the uninstall's while its program is there.
        if (r.moved || !driver::FileExists(kUninstaller)) {
            EXPECT_EQ(Run("C:\\Torvex"), 0u) << r.row << "\n" << ReadLog(LogFile());
            EXPECT_FALSE(driver::FolderExists(earlier)) << r.row;
            ExpectNoEntryNamesAMissingProgram(r.row);
        }
        EXPECT_EQ(Run(nullptr), 0u) << r.row << "\n" << ReadLog(LogFile());
        EXPECT_EQ(Machine(), before) << r.row;
    }
}

TEST_F(InterruptedRunTest, WhatAKilledUpgradeStillHadToRemoveIsRemovedByTheNextRun) {
    AddHost(2025);
    LayOut();
    ASSERT_EQ(Run("C:\\Torvex"), 0u) << ReadLog(LogFile());
    // The next package has none of the extra files: killed while it removes them.
    driver::RemoveTree(PackageFolder());
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    Run("C:\\Torvex", std::string("remove ") + kInstallFolder + "\\extra");
    ExpectNoEntryNamesAMissingProgram("killed");
    EXPECT_EQ(Run("C:\\Torvex"), 0u) << ReadLog(LogFile());
    for (const std::string& name : FilesIn(kInstallFolder)) {
        EXPECT_EQ(name.find("extra"), std::string::npos) << name;
    }
}

TEST_F(InterruptedRunTest, ARunKilledOnceItsEntriesAreWrittenIsUndoneWhole) {
    const std::string library = AddHost(2025) + "\\itextsharp.dll";
    ASSERT_TRUE(driver::WriteTextFile(library, "the host's"));
    const std::string newer = Scratch() + "\\newer";
    LayOut();
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(NEWER_SETUP_EXE_PATH), newer, {2024}));
    const std::string earlier = Scratch() + "\\A";
    const Snapshot before = Machine();
    const struct {
        const char* row;
        std::string from;   // the earlier installation's chosen folder
        std::string setup;  // the run killed, into C:\Torvex
    } rows[] = {
        {"a move", earlier, PackageFolder() + "\\SetUp.exe"},
        {"an upgrade in place", "C:\\Torvex", newer + "\\SetUp.exe"},
    };
    for (const auto& r : rows) {
        ASSERT_EQ(Run(r.from.c_str()), 0u) << r.row << "\n" << ReadLog(LogFile());
        // With the key: the literal alone is also in the program, which the
        // run copies into the uninstaller before it writes the entry.
        Run("C:\\Torvex", std::string("Active Setup entry HKEY_LOCAL_MACHINE\\") + kActiveSetupKey,
            r.setup);
        ASSERT_EQ(ReadLog(std::string(kInstallFolder) + "\\InstallJournal.txt").find("\ncommit"),
                  std::string::npos)
            << r.row << ": killed after its commit";
        // The next run, whichever it is, finds the earlier installation whole.
        if (r.from == earlier) {
            EXPECT_EQ(Run("C:\\Torvex"), 0u) << r.row << "\n" << ReadLog(LogFile());
        } else {
            // The killed run's uninstaller is not the installation's any more;
            // the installation's own, back in its place, repairs.
            EXPECT_EQ(Run(nullptr, "", "", "/REPAIR"), 1603u) << r.row;
            EXPECT_EQ(Run(nullptr, "", "", "/REPAIR"), 0u) << r.row << "\n" << ReadLog(LogFile());
            EXPECT_EQ(Run("C:\\Torvex"), 0u) << r.row << ": the same version repairs";
        }
        EXPECT_EQ(Run(nullptr), 0u) << r.row << "\n" << ReadLog(LogFile());
        EXPECT_EQ(driver::ReadTextFile(library), "the host's") << r.row;
        EXPECT_FALSE(driver::FolderExists(earlier)) << r.row;
        EXPECT_EQ(Machine(), before) << r.row;
    }
}

}  // namespace
}  // namespace e2e
