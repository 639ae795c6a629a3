// The release table: years and registry codes.
#include <gtest/gtest.h>

#include <string>

#include "hosts/host_release.h"

namespace {

TEST(HostRelease, CodesAndYearsInReleaseOrder) {
    const char* const codes[] = {"R23", "R24", "R25", "R26"};
    for (int i = 0; i < kHostReleaseCount; ++i) {
        EXPECT_EQ(std::string(HostReleaseCode(kHostReleases[i])), codes[i]);
        EXPECT_EQ(HostReleaseYear(kHostReleases[i]), 2023 + i);
        EXPECT_EQ(HostReleaseIndex(kHostReleases[i]), i);
    }
}

TEST(HostRelease, FromYearCoversExactlyTheFourReleases) {
    for (int year = 2023; year <= 2026; ++year) {
        HostRelease release = HostRelease::R2023;
        ASSERT_TRUE(HostReleaseFromYear(year, &release)) << year;
        EXPECT_EQ(HostReleaseYear(release), year);
    }
    HostRelease untouched = HostRelease::R2025;
    EXPECT_FALSE(HostReleaseFromYear(2022, &untouched));
    EXPECT_FALSE(HostReleaseFromYear(2027, &untouched));
    EXPECT_FALSE(HostReleaseFromYear(23, &untouched));
    EXPECT_FALSE(HostReleaseFromYear(-2024, &untouched));
    EXPECT_EQ(untouched, HostRelease::R2025);
}

}  // namespace
