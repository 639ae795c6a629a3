// The package's name table and the setup folder cut. Built natively and for
// Windows (code page 936), so both lead-byte rules give the same answers.
#include <gtest/gtest.h>

#include <string>

#include "deploy/package_layout.h"
#include "tests/support/gbk_samples.h"

namespace {

TEST(ClassifyPackageEntry, SetupProgramAndPrintFileGoNowhere) {
    EXPECT_EQ(ClassifyPackageEntry("SetUp.EXE"), PackageEntryKind::Skip);
    EXPECT_EQ(ClassifyPackageEntry("setup.exe"), PackageEntryKind::Skip);
    EXPECT_EQ(ClassifyPackageEntry("SETUP.EXE"), PackageEntryKind::Skip);
    EXPECT_EQ(ClassifyPackageEntry("Torvex.prt5"), PackageEntryKind::Skip);
    EXPECT_EQ(ClassifyPackageEntry("TORVEX.PRT5"), PackageEntryKind::Skip);
}

TEST(ClassifyPackageEntry, FontsAreLeftToTheHostDeployment) {
    EXPECT_EQ(ClassifyPackageEntry("Torvex_EN.shx"), PackageEntryKind::Font);
    EXPECT_EQ(ClassifyPackageEntry("torvex_hz.SHX"), PackageEntryKind::Font);
}

TEST(ClassifyPackageEntry, SettingsFileInAnyCase) {
    EXPECT_EQ(ClassifyPackageEntry("Torvex.Ini"), PackageEntryKind::Settings);
    EXPECT_EQ(ClassifyPackageEntry("TORVEX.INI"), PackageEntryKind::Settings);
    EXPECT_EQ(ClassifyPackageEntry("torvex.ini"), PackageEntryKind::Settings);
}

TEST(ClassifyPackageEntry, EverythingElseIsOrdinary) {
    EXPECT_EQ(ClassifyPackageEntry("TX_ZozerIded2023.grx"), PackageEntryKind::Ordinary);
    EXPECT_EQ(ClassifyPackageEntry("itextsharp.dll"), PackageEntryKind::Ordinary);
    EXPECT_EQ(ClassifyPackageEntry("GCAD2024P.dll"), PackageEntryKind::Ordinary);
    // Near misses are not the listed names.
    EXPECT_EQ(ClassifyPackageEntry("SetUp.EXE.bak"), PackageEntryKind::Ordinary);
    EXPECT_EQ(ClassifyPackageEntry("Torvex.In"), PackageEntryKind::Ordinary);
    EXPECT_EQ(ClassifyPackageEntry("Torvex_EN.shx "), PackageEntryKind::Ordinary);
    EXPECT_EQ(ClassifyPackageEntry(""), PackageEntryKind::Ordinary);
}

TEST(HostModuleName, FollowsTheYear) {
    EXPECT_EQ(HostModuleName(2023), "GCAD2023P.dll");
    EXPECT_EQ(HostModuleName(2050), "GCAD2050P.dll");
    EXPECT_EQ(kLastHostModuleYear - kFirstHostModuleYear + 1, 28);
}

TEST(JoinPath, NeverCutsALongPath) {
    const CString folder(std::string(300, 'f'));
    const CString joined = JoinPath(folder, "name.dll");
    EXPECT_EQ(joined.GetLength(), 300 + 1 + 8);
    EXPECT_EQ(joined, folder + "\\name.dll");
}

TEST(SetupFolderOf, CutsBeforeTheLastBackslash) {
    EXPECT_EQ(SetupFolderOf("C:\\Pkg\\SetUp.exe"), "C:\\Pkg");
    EXPECT_EQ(SetupFolderOf("C:\\SetUp.exe"), "C:");
    EXPECT_EQ(SetupFolderOf("SetUp.exe"), "");
    EXPECT_EQ(SetupFolderOf(""), "");
}

TEST(SetupFolderOf, NeverCutsAtATrailByte) {
    // The trail byte after the last separator must not be taken for one.
    const std::string folder = std::string("C:\\") + kCheng + "pkg";
    const std::string program = folder + "\\Set" + kJou + ".exe";
    EXPECT_EQ(SetupFolderOf(program.c_str()), CString(folder));
    const std::string folderEndingInJou = std::string("C:\\a") + kJou;
    EXPECT_EQ(SetupFolderOf((folderEndingInJou + "\\SetUp.exe").c_str()),
              CString(folderEndingInJou));
}

}  // namespace
