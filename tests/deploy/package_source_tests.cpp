// Finding the package beside the setup program, on Wine's real file system.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "deploy/download_mark.h"
#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "framework/afx_app_name.h"
#include "system/file_ops.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/gbk_samples.h"
#include "text/path_text.h"

namespace {

using deploy_test::ListFolder;
using deploy_test::MakeFolder;
using deploy_test::ReadTextFile;
using deploy_test::WriteTextFile;

constexpr char kMissingText[] =
    "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";
constexpr char kCaption[] = "T-软件安装";

class PackageSourceTest : public ::testing::Test {
protected:
    ScopedTempFolder setup;
    BoxRecorder boxes;
    afx::ScopedMessageBoxResponder responder{boxes};
    CString source = "<unset>";
};

TEST_F(PackageSourceTest, DataFolderIsTheSource) {
    ASSERT_TRUE(MakeFolder(setup / "Data"));
    ASSERT_TRUE(WriteTextFile(setup / "Data\\TX_ZozerIded2023.grx", "grx"));
    EXPECT_TRUE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(source, setup / "Data");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PackageSourceTest, EmptyDataFolderPasses) {
    ASSERT_TRUE(MakeFolder(setup / "Data"));
    EXPECT_TRUE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(source, setup / "Data");
}

TEST_F(PackageSourceTest, FlatPackageIsTheSetupFolderItself) {
    ASSERT_TRUE(WriteTextFile(setup / "TX_ZozerIded2023.grx", "grx"));
    EXPECT_TRUE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(source, setup.Path());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PackageSourceTest, MarkerNameInAnyCase) {
    ASSERT_TRUE(WriteTextFile(setup / "tx_zozerided2023.GRX", "grx"));
    EXPECT_TRUE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(source, setup.Path());
}

TEST_F(PackageSourceTest, DataFolderWinsOverTheMarker) {
    ASSERT_TRUE(MakeFolder(setup / "Data"));
    ASSERT_TRUE(WriteTextFile(setup / "TX_ZozerIded2023.grx", "grx"));
    EXPECT_TRUE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(source, setup / "Data");
}

TEST_F(PackageSourceTest, NeitherTellsTheUserAndChangesNothing) {
    ASSERT_TRUE(WriteTextFile(setup / "SetUp.exe", "exe"));
    const std::vector<std::string> before = ListFolder(setup.Path());
    EXPECT_FALSE(ResolvePackageSource(setup.Path(), source));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kMissingText);
    EXPECT_EQ(boxes.boxes[0].caption, kCaption);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK));  // one button, no icon
    EXPECT_EQ(boxes.boxes[0].owner, nullptr);                  // no window is active
    EXPECT_EQ(ListFolder(setup.Path()), before);
    EXPECT_EQ(ReadTextFile(setup / "SetUp.exe"), "exe");
}

TEST_F(PackageSourceTest, FileNamedDataIsNotTheDataFolder) {
    ASSERT_TRUE(WriteTextFile(setup / "Data", "not a folder"));
    EXPECT_FALSE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(boxes.boxes.size(), 1u);

    ASSERT_TRUE(WriteTextFile(setup / "TX_ZozerIded2023.grx", "grx"));
    EXPECT_TRUE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(source, setup.Path());
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(PackageSourceTest, FolderNamedLikeTheMarkerIsNoMarker) {
    ASSERT_TRUE(MakeFolder(setup / "TX_ZozerIded2023.grx"));
    EXPECT_FALSE(ResolvePackageSource(setup.Path(), source));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(PackageSourceTest, SetupFolderWithTrailByteBackslashInItsName) {
    const ScopedTempFolder doubleByte(std::string("pkg") + kJou + kCheng);
    ASSERT_TRUE(MakeFolder(doubleByte / "Data"));
    EXPECT_TRUE(ResolvePackageSource(doubleByte.Path(), source));
    EXPECT_EQ(source, doubleByte / "Data");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PackageSourceTest, TheTestProgramsOwnFolderHoldsNoPackage) {
    // Beside the running executable, as the setup looks.
    EXPECT_FALSE(ResolvePackageSource(ParentFolder(afx::GetModulePath()), source));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kMissingText);
}

TEST(GetPathKind, TellsAbsentFileAndFolder) {
    const ScopedTempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "file.txt", "x"));
    ASSERT_TRUE(MakeFolder(folder / "sub"));
    EXPECT_EQ(GetPathKind(folder / "file.txt"), PathKind::File);
    EXPECT_EQ(GetPathKind(folder / "sub"), PathKind::Folder);
    EXPECT_EQ(GetPathKind(folder / "none"), PathKind::Absent);
    EXPECT_EQ(GetPathKind(folder.Path()), PathKind::Folder);
    // The probe leaves no search open: the folder can go at once.
    EXPECT_TRUE(RemoveDirectoryA(folder / "sub"));
}

TEST(RemoveDownloadMark, FileWithoutMarkIsLeftAsItIs) {
    const ScopedTempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "module.dll", "content"));
    EXPECT_FALSE(RemoveDownloadMark(folder / "module.dll"));
    EXPECT_EQ(ReadTextFile(folder / "module.dll"), "content");
    EXPECT_FALSE(RemoveDownloadMark(folder / "absent.dll"));
}

// The setup program as it runs: a copy of the probe, whose file name ends in
// a character with a 0x5C trail byte, in a double-byte folder with a Data
// folder. A byte-wise cut would look for "Data" inside "Set" plus a lead byte.
TEST(ResolvePackageSourceOfTheExecutable, CutsAtTheTrueLastSeparator) {
    const CString probe = ParentFolder(afx::GetModulePath()) + "\\package_source_probe.exe";
    ASSERT_EQ(GetPathKind(probe), PathKind::File);
    const ScopedTempFolder setup(std::string("setup") + kCheng);
    ASSERT_TRUE(MakeFolder(setup / "Data"));
    const CString program = setup / (std::string("Set") + kJou + ".exe").c_str();
    ASSERT_TRUE(CopyFileA(probe, program, FALSE));
    const CString result = setup / "result.txt";

    CString commandLine;
    commandLine.Format("\"%s\" \"%s\"", program.GetString(), result.GetString());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string mutableLine = commandLine.str();
    ASSERT_TRUE(CreateProcessA(program, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    constexpr DWORD kProbeTimeoutMs = 60000;
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kProbeTimeoutMs), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(ReadTextFile(result), (setup / "Data").str());
}

}  // namespace
