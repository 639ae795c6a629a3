// The plug-in's life cycle with the real SetUp.exe: installed, then removed
// by its uninstaller started as Programs and Features starts it; and an
// installation aborted half way. Each leaves the machine as it found it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr const char* kInstallRoot = "C:\\Torvex";
constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
class LifecycleTest : public SetupTest {
protected:
    bool InstallToCompletion() {
        driver::Click(m_dialog, kInstall);
        if (!driver::WaitUntil([&] { return driver::IsItemVisible(m_dialog, kCompletionText); }) ||
            !driver::WaitForIdle(m_dialog)) {
            return false;
        }
        driver::Click(m_dialog, kDone);
        return WaitForExit();
    }

    // Starts the uninstaller in the installation folder and answers its
    // boxes; it goes on in a copy of itself it starts. The final box's text.
    std::string Uninstall() {
        driver::Process launcher;
        driver::Process uninstaller;
        if (!launcher.Start(std::string(kInstallFolder) + "\\Uninstall.exe") ||
            !uninstaller.Adopt(driver::WaitForChildProcess(launcher.Id()))) {
            return "(no uninstaller)";
        }
        HWND confirm = driver::WaitForMessageBox(uninstaller.Id(), {});
        if (!confirm || !driver::WaitForInput(confirm)) return "(no question)";
        m_runningCopy = driver::ReadTextFile(uninstaller.ImagePath());
        driver::Click(confirm, IDYES);
        driver::WaitForClose(confirm);
        HWND done = driver::WaitForMessageBox(uninstaller.Id(), {});
        if (!done || !driver::WaitForInput(done)) return "(no final box)";
        const std::string text = driver::MessageBoxText(done);
        Screenshot(done, "uninstalled");
        driver::Click(done, IDOK);
        EXPECT_TRUE(uninstaller.WaitForExit());
        return text;
    }

    std::string m_runningCopy;  // the bytes of the uninstaller's temporary copy
};

TEST_F(LifecycleTest, UninstallingLeavesTheMachineAsItWasButTheSettings) {
    const std::string host = AddHost(2025);
    // An older library the host had before: it stays.
    ASSERT_TRUE(driver::WriteTextFile(host + "\\itextsharp.dll", "older\r\n"));
    const std::string settings = AppDataFolder() + "\\Torvex";
    const Snapshot before = Without(TakeSnapshot(false), settings);

    ASSERT_TRUE(Launch());
    ASSERT_TRUE(InstallToCompletion());
    std::string location;
    EXPECT_TRUE(
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "InstallLocation", &location));
    EXPECT_EQ(location, kInstallFolder);
    EXPECT_TRUE(driver::KeyExists(HKEY_LOCAL_MACHINE, kActiveSetupKey));
    // The programs as built and signed, byte for byte: the uninstaller, the
    // per-user stage written out of SetUp.exe, and the copy the uninstall runs.
    const std::string setup = driver::ReadTextFile(driver::WindowsPathOf(SETUP_EXE_PATH));
    ASSERT_FALSE(setup.empty());
    EXPECT_TRUE(driver::ReadTextFile(std::string(kInstallFolder) + "\\Uninstall.exe") == setup);
    EXPECT_TRUE(driver::ReadTextFile(std::string(kInstallFolder) + "\\UserSetup.exe") ==
                driver::ReadTextFile(driver::WindowsPathOf(USER_SETUP_EXE_PATH)));

    const std::string summary = Uninstall();
    EXPECT_TRUE(m_runningCopy == setup) << m_runningCopy.size() << " bytes run";
    EXPECT_NE(summary.find("已卸载"), std::string::npos) << summary;
    EXPECT_EQ(Without(TakeSnapshot(false), settings), before);
    EXPECT_TRUE(driver::FileExists(host + "\\itextsharp.dll"));
    EXPECT_TRUE(driver::FileExists(settings + "\\Torvex.Ini"));
}

TEST_F(LifecycleTest, AModifyWithoutThePackageServesACadInstalledSinceAndTheUninstallRemovesIt) {
    const std::string cad2025 = AddHost(2025);
    const std::string settings = AppDataFolder() + "\\Torvex";
    ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    Snapshot before = Without(TakeSnapshot(false), settings);
    const std::vector<std::pair<std::string, std::string>> env = {{"APPDATA", AppDataFolder()}};
    const std::string logged = "/LOG=\"" + LogFile() + "\"";
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
    ASSERT_TRUE(m_setup.Start(PackageFolder() + "\\SetUp.exe", env, "/VERYSILENT " + logged));
    ASSERT_TRUE(WaitForExit());
    ASSERT_EQ(m_setup.ExitCode(), 0u);
    driver::RemoveTree(PackageFolder());
    const std::string cad2026 = AddHost(2026);
    for (const std::string& entry : TakeSnapshot(false)) {
        if (entry.find("2026-zh-CN") != std::string::npos ||
            entry.find("\\R26") != std::string::npos)
            before.insert(entry);
    }

    // Change in Programs and Features.
    driver::Process launcher;
    driver::Process modify;
    ASSERT_TRUE(
        launcher.Start(std::string(kInstallFolder) + "\\Uninstall.exe", env, "/MODIFY " + logged));
    ASSERT_TRUE(modify.Adopt(driver::WaitForChildProcess(launcher.Id())));
    m_dialog = driver::WaitForDialog(modify.Id(), kDialogCaption);
    ASSERT_TRUE(m_dialog);
    EXPECT_EQ(driver::ItemText(m_dialog, kPathEdit), kInstallRoot);
    EXPECT_FALSE(driver::IsItemEnabled(m_dialog, kPathEdit) ||
                 driver::IsItemEnabled(m_dialog, kBrowse));
    EXPECT_EQ(driver::ItemCheck(m_dialog, kBox2025), BST_CHECKED) << "installed";
    EXPECT_EQ(driver::ItemCheck(m_dialog, kBox2026), BST_UNCHECKED) << "found now, not installed";
    Screenshot(m_dialog, "modify");
    driver::Click(m_dialog, kBox2026);
    driver::Click(m_dialog, kInstall);
    ASSERT_TRUE(
        driver::WaitUntil([&] { return driver::IsItemVisible(m_dialog, kCompletionText); }));
    ASSERT_TRUE(driver::WaitForIdle(m_dialog));
    driver::Click(m_dialog, kDone);
    ASSERT_TRUE(launcher.WaitForExit());
    EXPECT_EQ(launcher.ExitCode(), 0u);
    EXPECT_TRUE(driver::FileExists(cad2026 + "\\GCAD2024P.dll"));
    EXPECT_EQ(
        driver::SubKeyNames(HKEY_CURRENT_USER, std::string(kProduct) + "\\R26\\zh-CN\\Applications")
            .size(),
        2u);

    // IT's modify leaves the release installed first out: it loses the plug-in.
    ASSERT_TRUE(launcher.Start(std::string(kInstallFolder) + "\\Uninstall.exe", env,
                               "/MODIFY /VERYSILENT /COMPONENTS=2026 " + logged));
    ASSERT_TRUE(launcher.WaitForExit());
    EXPECT_EQ(launcher.ExitCode(), 0u);
    EXPECT_FALSE(driver::FileExists(cad2025 + "\\GCAD2024P.dll"));
    EXPECT_FALSE(
        driver::KeyExists(HKEY_CURRENT_USER, std::string(kProduct) + "\\R25\\zh-CN\\Applications"));
    EXPECT_TRUE(driver::FileExists(cad2026 + "\\GCAD2024P.dll"));

    ASSERT_TRUE(
        launcher.Start(std::string(kInstallFolder) + "\\Uninstall.exe", env, "/VERYSILENT"));
    ASSERT_TRUE(launcher.WaitForExit());
    EXPECT_EQ(launcher.ExitCode(), 0u);
    EXPECT_EQ(Without(TakeSnapshot(false), settings), before);
}

TEST_F(LifecycleTest, AnAbortedInstallationLeavesTheMachineAsItWas) {
    AddHost(2025);
    ASSERT_TRUE(Launch({}, {2023, 2024}, 20));
    // An older module the copy replaces before it meets the held file, the
    // last of the listing: everything else has been copied by then.
    const std::vector<std::string> listing = PackageListing();
    ASSERT_FALSE(listing.empty());
    ASSERT_TRUE(driver::CreateFolders(kInstallFolder));
    ASSERT_TRUE(driver::WriteTextFile(std::string(kInstallFolder) + "\\GCAD2023P.dll", "old"));
    FileLock lock(std::string(kInstallFolder) + "\\" + listing.back());
    ASSERT_TRUE(lock.IsHeld());
    const Snapshot before = TakeSnapshot(true);

    driver::Click(m_dialog, kInstall);
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    driver::Click(box, IDABORT);
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(TakeSnapshot(true), before);
    EXPECT_EQ(driver::ReadTextFile(std::string(kInstallFolder) + "\\GCAD2023P.dll"), "old");
}

}  // namespace
}  // namespace e2e
