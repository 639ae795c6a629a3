// The module numbers of each release and the names and loader paths formed
// from them.
#include <gtest/gtest.h>

#include <string>

#include "deploy/registration_table.h"

namespace {

ModuleNumbers NumbersOf(int release) {
    ModuleNumbers numbers{-1, -1};
    EXPECT_TRUE(GetModuleNumbers(release, &numbers)) << release;
    return numbers;
}

TEST(ModuleNumbers, FollowTheReleaseTable) {
    EXPECT_EQ(NumbersOf(2023).main, 2023);
    EXPECT_EQ(NumbersOf(2023).companion, 2023);
    EXPECT_EQ(NumbersOf(2024).main, 2023);
    EXPECT_EQ(NumbersOf(2024).companion, 2024);
    EXPECT_EQ(NumbersOf(2025).main, 2023);
    EXPECT_EQ(NumbersOf(2025).companion, 2024);
    EXPECT_EQ(NumbersOf(2026).main, 2026);
    EXPECT_EQ(NumbersOf(2026).companion, 2024);
}

TEST(ModuleNumbers, NoneOutsideTheSupportedReleases) {
    ModuleNumbers numbers{7, 7};
    EXPECT_FALSE(GetModuleNumbers(2022, &numbers));
    EXPECT_FALSE(GetModuleNumbers(2027, &numbers));
    EXPECT_FALSE(GetModuleNumbers(0, &numbers));
    EXPECT_EQ(numbers.main, 7);
}

TEST(EntryKeyNames, CarryTheReleaseYear) {
    EXPECT_EQ(MainEntryKeyName(2025), "Applications\\TX_ZozerIded2025");
    EXPECT_EQ(CompanionEntryKeyName(2025), "Applications\\Torvex2025DLLP");
    EXPECT_EQ(CompanionEntryKeyName(2026), "Applications\\Torvex2026DLLP");
}

TEST(LoaderPaths, NameTheModulesInTheirFolders) {
    EXPECT_EQ(MainLoaderPath("C:\\Torvex\\T-ZozerIded", 2023),
              "C:\\Torvex\\T-ZozerIded\\TX_ZozerIded2023.GRX");
    EXPECT_EQ(CompanionLoaderPath("D:\\GstarCAD 2025", 2024), "D:\\GstarCAD 2025\\GCAD2024P.dll");
}

TEST(LoaderPaths, AreNeverCut) {
    const std::string folder(400, 'x');
    EXPECT_EQ(MainLoaderPath(CString(folder), 2026).str(), folder + "\\TX_ZozerIded2026.GRX");
    EXPECT_EQ(CompanionLoaderPath(CString(folder), 2024).str(), folder + "\\GCAD2024P.dll");
}

}  // namespace
