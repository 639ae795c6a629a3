// The fixture of the installation's in-process tests: a package in a
// temporary folder, a host of release 2025 under the current user, the
// registry sandboxed, every box recorded and answered.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "entries/active_setup.h"
#include "framework/afx_app_name.h"
#include "hosts/host_discovery.h"
#include "install/installation.h"
#include "record/record_store.h"
#include "run/product_version.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/box_recorder.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

class NoProgress : public ProgressSink {
public:
    void StepIt() override {}
};

class InstallationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.IsReady());
        ASSERT_TRUE(driver::CreateFolders(appData.str()));
        ASSERT_TRUE(sample.BuildPackage(afx::GetModulePath().str(), package.str()));
        sample.AddHost({HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarCAD", "R25\\zh-CN",
                        (temp / "host").str()});
        machine.hosts = DiscoverHostInstallations();
    }
    InstallRequest RequestFor(const char* chosen) {
        InstallRequest request;
        request.chosenFolder = temp / chosen;
        request.installFolder = request.chosenFolder + "\\T-ZozerIded";
        request.releases = {HostRelease::R2025};
        request.setupFolder = package;
        return request;
    }
    InstallResult Install(const char* chosen) { return Install(RequestFor(chosen)); }
    // A run of its own: what the earlier installation left is read anew.
    InstallResult Install(const InstallRequest& request) {
        NoProgress progress;
        machine.earlier = EarlierRecords::Read();
        return Installation(request, machine, progress, log, nullptr).Run();
    }
    // The version the Active Setup entry gives every user's logon to compare.
    std::string EnteredVersion() {
        std::string version;
        driver::ReadString(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", &version);
        return version;
    }
    InstallRecord RecordOf(const char* chosen) {
        InstallRecord record;
        EXPECT_NE(ReadInstallRecord(temp / chosen + "\\T-ZozerIded", &record), RecordSource::None)
            << chosen;
        return record;
    }
    // The version Active Setup compares, of this build's, with a fourth number.
    static std::string BuiltVersion(const char* fourth = "") {
        return NextActiveSetupVersion(kSetupVersion, "", false).str() + fourth;
    }

    ScratchRegistryRoots registry;
    ScopedTempFolder temp;
    const CString package = temp / "package";
    const CString appData = temp / "appdata";
    deploy_test::ScopedEnvironmentVariable appDataVariable{"APPDATA", appData};
    driver::SampleMachine sample;
    MachineAtStart machine;
    const FoundHosts& hosts = machine.hosts;
    RunLog log;
    BoxRecorder boxes;
    afx::ScopedMessageBoxResponder responder{boxes};
};
