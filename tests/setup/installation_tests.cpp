// The installation in-process, on a scratch registry and a package in a
// temporary folder.
#include <gtest/gtest.h>

#include <string>

#include "hosts/host_discovery.h"
#include "lifecycle/file_ops.h"
#include "lifecycle/per_user.h"
#include "setup/installation.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/scratch_registry.h"
#include "tools/driver/sample_machine.h"

namespace {

const std::string kHostKey = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN";

// GstarCAD 2025 on the machine, and a profile of it in this account's hive.
class InstallationTest : public deploy_test::PackageFixture {
protected:
    void SetUp() override {
        PackageFixture::SetUp();
        ASSERT_TRUE(roots.IsReady());
        for (const char* name :
             {"TX_ZozerIded2023.grx", "GCAD2023P.dll", "GCAD2024P.dll", "itextsharp.dll",
              "Torvex_EN.shx", "Torvex_HZ.shx", "Torvex.Ini"}) {
            AddPackageFile(name, name);
        }
        ASSERT_TRUE(deploy_test::MakeFolder(host));
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            ASSERT_TRUE(SetValue(root, kHostKey, "Location", REG_SZ, host.GetString(),
                                 host.GetLength() + 1));
        }
        DiscoverHostInstallationsInto(registry);
        request.setupFolder = setup;
        request.chosenFolder = temp / "root";
        request.installFolder = request.chosenFolder + "\\T-ZozerIded";
        request.releases[HostReleaseIndex(HostRelease::R2025)] = true;
    }

    ScratchRegistryRoots roots;
    const CString host = temp / "host";
    HostInstallRegistry registry;
    InstallRequest request;
    RunLog runLog;
};

TEST_F(InstallationTest, AServiceAccountServesNoProfileOfItsOwnButEveryUserAtLogon) {
    request.servesOwnProfile = false;
    Installation installation(request, registry, progress, runLog, nullptr);
    EXPECT_EQ(installation.Run(), InstallResult::Complete)
        << installation.Account().WarningText().Narrow().GetString();

    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, kHostKey + "\\Applications"));
    EXPECT_EQ(GetPathKind(appData + "\\Torvex"), PathKind::Absent);
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, kActiveSetupKey)) << "stamped as served";
    // The stage, and its command for every user's logon.
    const CString stage = request.installFolder + "\\UserSetup.exe";
    EXPECT_TRUE(SameContent(stage, driver::WindowsPathOf(USER_SETUP_EXE_PATH).c_str()));
    std::string command;
    std::string version;
    DWORD installed = 0;
    EXPECT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", &command));
    EXPECT_EQ(command, "\"" + stage.str() + "\" /ACTIVESETUP");
    EXPECT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", &version));
    EXPECT_EQ(version, "2025,10,30");
    EXPECT_TRUE(driver::ReadDword(HKEY_LOCAL_MACHINE, kActiveSetupKey, "IsInstalled", &installed));
    EXPECT_EQ(installed, 1u);
}

}  // namespace
