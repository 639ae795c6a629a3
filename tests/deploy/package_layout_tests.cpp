// The package's name table. Built natively and for
// Windows (code page 936), so both lead-byte rules give the same answers.
#include <gtest/gtest.h>

#include <string>

#include "deploy/package_layout.h"

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

}  // namespace
