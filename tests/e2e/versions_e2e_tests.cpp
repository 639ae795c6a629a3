// Two releases of the plug-in on the sample machine: this build (2025.10.30)
// and next spring's (2026.03.15, built by setup_add_other_version), each
// beside its own package. The older package ships a module for 2023 and a
// file the newer one no longer ships.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

const std::string kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr DWORD kRunTimeoutMs = 60000;

class VersionsTest : public SetupTest {
protected:
    void SetUp() override {
        m_host = AddHost(2025);
        ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), Older(),
                                           {2023, 2024}, 1));
        ASSERT_TRUE(
            m_machine.BuildPackage(driver::WindowsPathOf(NEWER_SETUP_EXE_PATH), Newer(), {2024}));
        ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
        m_before = Machine();
    }
    std::string Older() const { return Scratch() + "\\older"; }
    std::string Newer() const { return Scratch() + "\\newer"; }
    // Everything but the user's settings, which an uninstall leaves.
    Snapshot Machine() const { return Without(TakeSnapshot(false), AppDataFolder() + "\\Torvex"); }
    // A program run to its end with the arguments and a log; its exit code.
    DWORD Run(const std::string& program, const std::string& arguments) {
        driver::Process run;
        EXPECT_TRUE(run.Start(program, {{"APPDATA", AppDataFolder()}},
                              arguments + " /LOG=\"" + LogFile() + "\""));
        EXPECT_TRUE(run.WaitForExit(kRunTimeoutMs));
        return run.ExitCode();
    }
    DWORD Install(const std::string& package, const std::string& more = "") {
        return Run(package + "\\SetUp.exe", "/VERYSILENT" + more);
    }
    DWORD Uninstall() { return Run(kInstallFolder + "\\Uninstall.exe", "/VERYSILENT"); }
    // The entry's DisplayVersion and the Active Setup version.
    std::string Versions() const {
        std::string shown;
        std::string compared;
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayVersion", &shown);
        driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", &compared);
        return shown + " " + compared;
    }

    std::string m_host;
    Snapshot m_before;
};

TEST_F(VersionsTest, AnUpgradeLeavesOnlyWhatTheNewerVersionInstalls) {
    ASSERT_EQ(Install(Older()), 0u);
    ASSERT_TRUE(driver::FileExists(kInstallFolder + "\\extra000.dat"));
    ASSERT_TRUE(driver::FileExists(m_host + "\\GCAD2023P.dll"));
    EXPECT_EQ(Install(Newer()), 0u);
    EXPECT_FALSE(driver::FileExists(kInstallFolder + "\\extra000.dat"));
    EXPECT_FALSE(driver::FileExists(m_host + "\\GCAD2023P.dll"));
    EXPECT_TRUE(driver::FileExists(m_host + "\\GCAD2024P.dll"));
    EXPECT_EQ(Versions(), "2026.03.15 2026,3,15");
    EXPECT_EQ(Uninstall(), 0u);
    EXPECT_EQ(Machine(), m_before);
}

TEST_F(VersionsTest, AnOlderVersionIsRefusedUntilARollbackIsAskedFor) {
    ASSERT_EQ(Install(Newer()), 0u);
    const Snapshot newer = TakeSnapshot(true);
    EXPECT_EQ(Install(Older()), 1638u);
    EXPECT_EQ(TakeSnapshot(true), newer);
    // At the screen: the program's box names both versions.
    ASSERT_TRUE(m_setup.Start(Older() + "\\SetUp.exe", {{"APPDATA", AppDataFolder()}},
                              "/LOG=\"" + LogFile() + "\""));
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::Text(box), kBoxCaption);
    const std::string text = driver::MessageBoxText(box);
    EXPECT_NE(text.find("2026.03.15"), std::string::npos) << text;
    EXPECT_NE(text.find("2025.10.30"), std::string::npos) << text;
    Screenshot(box, "downgrade-refused");
    driver::Click(box, IDOK);
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(m_setup.ExitCode(), 1638u);
    EXPECT_EQ(TakeSnapshot(true), newer);

    // IT's rollback: an upgrade in reverse; Active Setup never goes down.
    EXPECT_EQ(Install(Older(), " /ALLOWDOWNGRADE"), 0u);
    EXPECT_TRUE(driver::FileExists(kInstallFolder + "\\extra000.dat"));
    EXPECT_EQ(Versions(), "2025.10.30 2026,3,15,1");
    EXPECT_EQ(Uninstall(), 0u);
    EXPECT_EQ(Machine(), m_before);
}

}  // namespace
}  // namespace e2e
