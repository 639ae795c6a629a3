// Fonts and host modules into the folders of the selected host
// installations, on Wine's real file system.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "deploy/host_deployment.h"
#include "deploy/package_copy.h"
#include "deploy/package_source.h"
#include "journal/install_context.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/unix_link.h"

namespace {

using deploy_test::ListFolder;
using deploy_test::MakeFolder;
using deploy_test::ReadTextFile;
using deploy_test::ScopedEnvironmentVariable;
using deploy_test::StepCounter;
using deploy_test::WriteTextFile;

std::set<std::string> FilesIn(const char* folder) {
    std::set<std::string> names;
    for (const std::string& name : ListFolder(folder)) {
        if (name != "." && name != "..") names.insert(name);
    }
    return names;
}

// A package with the host modules of 2023 and 2024 only, and five host
// folders: 2024 has two (one without "Fonts"), 2025 and 2026 one each, and
// 2023 one.
class HostDeploymentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(temp / "pkg"));
        ASSERT_TRUE(MakeFolder(data));
        for (const char* name :
             {"TX_ZozerIded2023.grx", "GCAD2023P.dll", "GCAD2024P.dll", "itextsharp.dll",
              "Torvex_EN.shx", "Torvex_HZ.shx", "Torvex.Ini", "Torvex.prt5"}) {
            ASSERT_TRUE(WriteTextFile(data + "\\" + name, name));
        }
        for (const char* host : {"h2023", "h2024a", "h2024b", "h2025", "h2026"}) {
            ASSERT_TRUE(MakeFolder(temp / host));
        }
        for (const char* host : {"h2023", "h2024a", "h2025", "h2026"}) {
            ASSERT_TRUE(MakeFolder(temp / (std::string(host) + "\\Fonts").c_str()));
        }
        AddHost(0, "h2023");
        AddHost(1, "h2024a");
        AddHost(1, "h2024b");
        AddHost(2, "h2025");
        AddHost(3, "h2026");
    }

    void AddHost(int releaseIndex, const char* name) {
        registry.hostFolders[releaseIndex].Add(temp / name);
        registry.hostKeys[releaseIndex].Add(CString("SOFTWARE\\Gstarsoft\\GstarCAD\\R\\") + name +
                                            "\\");
    }

    ScopedTempFolder temp;
    const CString setup = temp / "pkg";
    const CString data = temp / "pkg\\Data";
    FoundHosts registry;
    InstallContext log;
    BoxRecorder boxes;
    afx::ScopedMessageBoxResponder responder{boxes};
};

const std::set<std::string> kHostFiles = {"GCAD2023P.dll", "GCAD2024P.dll", "itextsharp.dll",
                                          "Fonts"};
const std::set<std::string> kFonts = {"Torvex_EN.shx", "Torvex_HZ.shx"};
const ReleaseSelection kEveryRelease = {HostRelease::R2023, HostRelease::R2024, HostRelease::R2025,
                                        HostRelease::R2026};

TEST_F(HostDeploymentTest, SelectedReleasesGetModulesAndFonts) {
    DeployToHosts(setup, registry, {HostRelease::R2024, HostRelease::R2026}, CString(), log);

    EXPECT_EQ(FilesIn(temp / "h2024a"), kHostFiles);
    EXPECT_EQ(FilesIn(temp / "h2024a\\Fonts"), kFonts);
    EXPECT_EQ(FilesIn(temp / "h2026"), kHostFiles);
    EXPECT_EQ(FilesIn(temp / "h2026\\Fonts"), kFonts);
    EXPECT_EQ(ReadTextFile(temp / "h2026\\GCAD2024P.dll"), "GCAD2024P.dll");
    EXPECT_EQ(ReadTextFile(temp / "h2026\\Fonts\\Torvex_HZ.shx"), "Torvex_HZ.shx");
    // No "Fonts" folder: no fonts, no folder made, no message.
    EXPECT_EQ(FilesIn(temp / "h2024b"),
              (std::set<std::string>{"GCAD2023P.dll", "GCAD2024P.dll", "itextsharp.dll"}));
    // Unselected releases get nothing.
    EXPECT_EQ(FilesIn(temp / "h2023\\Fonts"), std::set<std::string>{});
    EXPECT_EQ(FilesIn(temp / "h2025"), std::set<std::string>{"Fonts"});
    EXPECT_EQ(FilesIn(temp / "h2025\\Fonts"), std::set<std::string>{});
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(HostDeploymentTest, ModulesAlsoReachTheInstallationFolder) {
    const ScopedEnvironmentVariable appData("APPDATA", temp.Path());
    StepCounter progress;
    InstallContext log;
    const CString install = temp / "inst";
    ASSERT_TRUE(CopyPackageFiles(setup, install, progress, log));
    DeployToHosts(setup, registry, kEveryRelease, CString(), log);
    EXPECT_EQ(FilesIn(install),
              (std::set<std::string>{"TX_ZozerIded2023.grx", "GCAD2023P.dll", "GCAD2024P.dll",
                                     "itextsharp.dll", "UserSettings", "Data"}));
    for (const char* host : {"h2023", "h2024a", "h2025", "h2026"}) {
        EXPECT_EQ(FilesIn(temp / host), kHostFiles) << host;
        EXPECT_EQ(FilesIn(temp / (std::string(host) + "\\Fonts").c_str()), kFonts) << host;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(HostDeploymentTest, OldFilesAreReplaced) {
    ASSERT_TRUE(WriteTextFile(temp / "h2025\\GCAD2024P.dll", "old"));
    ASSERT_TRUE(WriteTextFile(temp / "h2025\\Fonts\\Torvex_EN.shx", "old"));
    DeployToHostFolder(setup, temp / "h2025", CString(), log);
    EXPECT_EQ(ReadTextFile(temp / "h2025\\GCAD2024P.dll"), "GCAD2024P.dll");
    EXPECT_EQ(ReadTextFile(temp / "h2025\\Fonts\\Torvex_EN.shx"), "Torvex_EN.shx");
}

TEST_F(HostDeploymentTest, NothingIsWrittenThroughALinkedHostFolderFontsIncluded) {
    ASSERT_TRUE(MakeFolder(temp / "lookalike"));
    ASSERT_TRUE(MakeFolder(temp / "lookalike\\Fonts"));
    ASSERT_TRUE(MakeUnixLink(temp.Path().str(), "lookalike", "linked"));
    DeployToHostFolder(setup, temp / "linked", CString(), log);
    EXPECT_EQ(FilesIn(temp / "lookalike"), std::set<std::string>{"Fonts"});
    EXPECT_EQ(FilesIn(temp / "lookalike\\Fonts"), std::set<std::string>{});
    EXPECT_EQ(log.notDone.GetCount(), 5) << "two fonts, the library and two modules";
    EXPECT_TRUE(RemoveUnixLink(temp.Path().str(), "linked"));
}

TEST_F(HostDeploymentTest, FlatPackageServesTheHostsToo) {
    ASSERT_TRUE(MakeFolder(temp / "flat"));
    for (const char* name : {"TX_ZozerIded2023.grx", "GCAD2026P.dll", "Torvex_EN.shx"}) {
        ASSERT_TRUE(WriteTextFile(temp / (std::string("flat\\") + name).c_str(), name));
    }
    DeployToHostFolder(temp / "flat", temp / "h2026", CString(), log);
    EXPECT_EQ(FilesIn(temp / "h2026"), (std::set<std::string>{"GCAD2026P.dll", "Fonts"}));
    EXPECT_EQ(FilesIn(temp / "h2026\\Fonts"), std::set<std::string>{"Torvex_EN.shx"});
}

TEST_F(HostDeploymentTest, VanishedPackageIsToldOncePerHostFolder) {
    const CString gone = temp / "gone";
    ASSERT_TRUE(MakeFolder(gone));
    DeployToHosts(gone, registry, {HostRelease::R2024}, CString(), log);
    EXPECT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(FilesIn(temp / "h2024a"), std::set<std::string>{"Fonts"});
}

}  // namespace
