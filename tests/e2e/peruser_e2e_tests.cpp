// The per-user stage as a user of the machine gets it at logon, with the
// real SetUp.exe and UserSetup.exe. Wine has one user: the test's account,
// once the setup has served it, is made into another user by taking away
// what the setup did in its profile, and a fresh settings folder.
#include <gtest/gtest.h>

#include <string>

#include "run/product_version.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/scratch_registry.h"

namespace e2e {
namespace {

constexpr const char* kActiveSetupKey =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{7A479842-ED53-4AAD-8FC6-E7C0EB678373}";
constexpr const char* kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunOnceValue = "Torvex T-ZozerIded";
const std::string kProfile = std::string(kProduct) + "\\R25\\zh-CN";
const std::string kApplications = kProfile + "\\Applications";
const std::string kProfile2024 = std::string(kProduct) + "\\R24\\zh-CN";

class UserStageTest : public SetupTest {
protected:
    void SetUp() override {
        AddHost(2024);
        AddHost(2025);
        // A deployment tool's installation: no window.
        ASSERT_TRUE(m_machine.BuildPackage(driver::WindowsPathOf(SETUP_EXE_PATH), PackageFolder()));
        ASSERT_TRUE(driver::CreateFolders(AppDataFolder()) &&
                    driver::CreateFolders(OtherAppData()));
        ASSERT_TRUE(m_setup.Start(PackageFolder() + "\\SetUp.exe", {{"APPDATA", AppDataFolder()}},
                                  "/VERYSILENT /LOG=\"" + LogFile() + "\""));
        ASSERT_TRUE(WaitForExit());
        ASSERT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", &m_stub));
    }
    // Starts a command as a logon does, for the other user, and waits for it.
    void RunAtLogon(const std::string& command) {
        const size_t quote = command.find('"', 1);
        driver::Process stage;
        ASSERT_TRUE(stage.Start(command.substr(1, quote - 1), {{"APPDATA", OtherAppData()}},
                                command.substr(quote + 2)));
        ASSERT_TRUE(stage.WaitForExit());
    }
    std::string OtherAppData() const { return Scratch() + "\\other"; }
    // What the stage may change for the other user.
    std::string UserState() const {
        return driver::DumpKey(HKEY_CURRENT_USER, kProduct) +
               driver::DumpKey(HKEY_CURRENT_USER, "SOFTWARE\\Torvex") +
               driver::DumpKey(HKEY_CURRENT_USER, kRunOnceKey) +
               driver::ReadTextFile(OtherAppData() + "\\Torvex\\Torvex.Ini") +
               std::to_string(FilesIn(OtherAppData() + "\\Torvex").size());
    }

    std::string m_stub;
};

TEST_F(UserStageTest, AUserGetsTheEntriesAndSettingsAtLogonAndASecondRunChangesNothing) {
    const std::string byInstallation = driver::DumpKey(HKEY_CURRENT_USER, kApplications);
    ASSERT_NE(byInstallation, "");
    std::string stamp;
    EXPECT_TRUE(driver::ReadString(HKEY_CURRENT_USER, kActiveSetupKey, "Version", &stamp))
        << "the account that ran the setup was served, and stamped so";
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, kApplications.c_str()), ERROR_SUCCESS);

    RunAtLogon(m_stub);
    EXPECT_EQ(driver::DumpKey(HKEY_CURRENT_USER, kApplications), byInstallation);
    EXPECT_EQ(driver::ReadTextFile(OtherAppData() + "\\Torvex\\Torvex.Ini"),
              driver::ReadTextFile(PackageFolder() + "\\Data\\Torvex.Ini"));
    // What the user makes of the settings is theirs.
    ASSERT_TRUE(driver::WriteTextFile(OtherAppData() + "\\Torvex\\Torvex.Ini", "[mine]\r\n"));
    const std::string served = UserState();
    RunAtLogon(m_stub);
    EXPECT_EQ(UserState(), served);
}

TEST_F(UserStageTest, AHostProfileMadeLaterGetsTheEntriesAtTheNextLogon) {
    // The other user has never started the 2024 host: it has no profile,
    // whatever the 2025 host (the last release) has.
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, kProfile2024.c_str()), ERROR_SUCCESS);
    RunAtLogon(m_stub);
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, kProfile2024));
    std::string again;
    ASSERT_TRUE(driver::ReadString(HKEY_CURRENT_USER, kRunOnceKey, kRunOnceValue, &again));
    EXPECT_EQ(again, m_stub.substr(0, m_stub.rfind(' ')) + " /RUNONCE");

    // The host, started, makes its profile; the stage's next start (here
    // through Active Setup, which leaves RunOnce alone) serves it and takes
    // the value away.
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kProfile2024));
    RunAtLogon(m_stub);
    EXPECT_TRUE(
        driver::KeyExists(HKEY_CURRENT_USER, kProfile2024 + "\\Applications\\TX_ZozerIded2024"));
    EXPECT_FALSE(driver::ReadString(HKEY_CURRENT_USER, kRunOnceKey, kRunOnceValue, &again))
        << "started again with nothing missing";
}

TEST_F(UserStageTest, TheStageTakesAwayTheEntriesTheInstallationNoLongerMakes) {
    const std::string entry2024 = kProfile2024 + "\\Applications\\TX_ZozerIded2024";
    RunAtLogon(m_stub);
    ASSERT_TRUE(driver::KeyExists(HKEY_CURRENT_USER, entry2024));
    // Installed again for 2025 alone; the other user's hive keeps its entry.
    ASSERT_TRUE(m_setup.Start(PackageFolder() + "\\SetUp.exe", {{"APPDATA", AppDataFolder()}},
                              "/VERYSILENT /COMPONENTS=2025 /LOG=\"" + LogFile() + "\""));
    ASSERT_TRUE(WaitForExit());
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, kProfile2024 + "\\Applications"));
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, entry2024));
    std::string version;
    ASSERT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", &version));
    EXPECT_EQ(version, NextActiveSetupVersion(kSetupVersion, "", false).str() + ",1")
        << "every user's stage runs again";
    RunAtLogon(m_stub);
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, entry2024));
}

}  // namespace
}  // namespace e2e
