// Two releases of the plug-in on the sample machine: this build (SETUP_VERSION)
// and next spring's (2026.03.15, built by setup_add_other_version), each
// beside its own package. The older package ships a module for 2023 (the
// host has its own file of that name) and a file the newer one no longer ships.
#include <gtest/gtest.h>

#include <string>

#include "run/product_version.h"
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

const std::string kInstallFolder = "C:\\Torvex\\T-ZozerIded";
constexpr DWORD kRunTimeoutMs = 60000;

class VersionsTest : public SetupTest {
protected:
    // A program run to its end, with a log; its exit code.
    DWORD Run(const std::string& program, const std::string& arguments = "/VERYSILENT") {
        driver::Process run;
        EXPECT_TRUE(run.Start(program, {{"APPDATA", AppDataFolder()}},
                              arguments + " /LOG=\"" + LogFile() + "\""));
        EXPECT_TRUE(run.WaitForExit(kRunTimeoutMs));
        return run.ExitCode();
    }
    // The entry's DisplayVersion and the Active Setup version.
    std::string Versions() const {
        std::string shown;
        std::string compared;
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntry, "DisplayVersion", &shown);
        driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", &compared);
        return shown + " " + compared;
    }
    // Everything but the user's settings, which an uninstall leaves.
    Snapshot Machine() const { return Without(TakeSnapshot(false), AppDataFolder() + "\\Torvex"); }
};

TEST_F(VersionsTest, AnUpgradeLeavesWhatTheNewerInstallsAndAnOlderOneRollsBackOnlyWhenAsked) {
    const std::string module = AddHost(2025) + "\\GCAD2023P.dll";
    const std::string extra = kInstallFolder + "\\extra000.dat";
    const std::string older = Scratch() + "\\older\\SetUp.exe";
    const std::string newer = Scratch() + "\\newer\\SetUp.exe";
    const std::string uninstall = kInstallFolder + "\\Uninstall.exe";
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), Scratch() + "\\older",
                                       {2023, 2024}, 1));
    ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(NEWER_SETUP_EXE_PATH),
                                       Scratch() + "\\newer", {2024}));
    ASSERT_TRUE(driver::CreateFolders(AppDataFolder()));
    ASSERT_TRUE(driver::WriteTextFile(module, "the host's"));
    const Snapshot before = Machine();

    ASSERT_EQ(Run(older), 0u);
    ASSERT_TRUE(driver::FileExists(extra));
    ASSERT_NE(driver::ReadTextFile(module), "the host's");
    EXPECT_EQ(Run(newer), 0u);
    EXPECT_FALSE(driver::FileExists(extra));
    EXPECT_EQ(driver::ReadTextFile(module), "the host's") << "back in its place";
    EXPECT_EQ(Versions(), "2026.03.15 2026,3,15");
    EXPECT_EQ(Run(uninstall), 0u);
    EXPECT_EQ(Machine(), before);

    // The older one over the newer: refused, silently and at the screen,
    // where the program's box names both versions.
    ASSERT_EQ(Run(newer), 0u);
    const Snapshot installed = TakeSnapshot(true);
    EXPECT_EQ(Run(older), 1638u);
    ASSERT_TRUE(m_setup.Start(older, {{"APPDATA", AppDataFolder()}}, "/LOG=\"" + LogFile() + "\""));
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::Text(box), kBoxCaption);
    const std::string text = driver::MessageBoxText(box);
    EXPECT_NE(text.find("2026.03.15"), std::string::npos) << text;
    EXPECT_NE(text.find(FormatSetupVersion(kSetupVersion).str()), std::string::npos) << text;
    Screenshot(box, "downgrade-refused");
    driver::Click(box, IDOK);
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(m_setup.ExitCode(), 1638u);
    EXPECT_EQ(TakeSnapshot(true), installed);

    // IT's rollback: an upgrade in reverse; Active Setup never goes down.
    EXPECT_EQ(Run(older, "/VERYSILENT /ALLOWDOWNGRADE"), 0u);
    EXPECT_TRUE(driver::FileExists(extra));
    EXPECT_EQ(Versions(), FormatSetupVersion(kSetupVersion).str() + " 2026,3,15,1");
    EXPECT_EQ(Run(uninstall), 0u);
    EXPECT_EQ(Machine(), before);
}

}  // namespace
}  // namespace e2e
