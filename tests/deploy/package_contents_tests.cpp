// What the package must hold for the chosen releases, and how what did not
// happen is told.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deploy/package_contents.h"
#include "run/steps_not_done.h"

namespace {

std::vector<std::string> Names(const std::vector<CString>& names) {
    return std::vector<std::string>(names.begin(), names.end());
}

TEST(RequiredPackageFiles, FollowTheModulesEachReleaseLoads) {
    EXPECT_EQ(Names(RequiredPackageFiles({HostRelease::R2025})),
              (std::vector<std::string>{"TX_ZozerIded2023.grx", "GCAD2024P.dll", "itextsharp.dll",
                                        "Torvex_EN.shx", "Torvex_HZ.shx"}));
    // 2024 and 2025 share both modules; 2026 has a main module of its own.
    EXPECT_EQ(
        Names(RequiredPackageFiles({HostRelease::R2024, HostRelease::R2025, HostRelease::R2026})),
        (std::vector<std::string>{"TX_ZozerIded2023.grx", "GCAD2024P.dll", "TX_ZozerIded2026.grx",
                                  "itextsharp.dll", "Torvex_EN.shx", "Torvex_HZ.shx"}));
    EXPECT_TRUE(RequiredPackageFiles({}).empty());
}

TEST(StepsNotDone, ListsEveryItemUpToTheLimitThenCountsTheRest) {
    StepsNotDone notDone;
    EXPECT_TRUE(notDone.IsEmpty());
    const int total = StepsNotDone::kMaxListedItems + 2;
    for (int i = 0; i < total; ++i) {
        notDone.Add(StepsNotDone::Kind::FileSkipped, CString("C:\\f") + std::to_string(i).c_str());
    }
    const std::string text = notDone.WarningText().Narrow().str();
    EXPECT_NE(text.find("C:\\f0\n"), std::string::npos) << text;
    const std::string lastListed = "C:\\f" + std::to_string(StepsNotDone::kMaxListedItems - 1);
    EXPECT_NE(text.find(lastListed), std::string::npos) << text;
    EXPECT_EQ(text.find("C:\\f" + std::to_string(StepsNotDone::kMaxListedItems)),
              std::string::npos);
    EXPECT_NE(text.find("另有 2 项"), std::string::npos) << text;
}

}  // namespace
