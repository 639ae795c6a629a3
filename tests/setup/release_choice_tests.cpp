// Which releases an installation, a repair and a modify serve.
#include <gtest/gtest.h>

#include "setup/release_choice.h"

namespace {

ReleaseSelection Of(bool r2023, bool r2024, bool r2025, bool r2026) {
    return {r2023, r2024, r2025, r2026};
}

TEST(ChooseReleases, NamedOrPresetOutOfThoseOfferedNow) {
    const std::vector<int> only2026 = {2026};
    const std::vector<int> notHere = {2024, 2025};
    const struct {
        const char* what;
        ReleaseSelection offered;
        ReleaseSelection preset;
        const std::vector<int>* named;
        ReleaseSelection chosen;
        std::vector<int> passedOver;
    } cases[] = {
        {"an installation: every release offered",
         Of(0, 1, 1, 0),
         Of(0, 1, 1, 0),
         nullptr,
         Of(0, 1, 1, 0),
         {}},
        {"a repair: what is installed and still found",
         Of(0, 0, 1, 1),
         Of(0, 1, 1, 0),
         nullptr,
         Of(0, 0, 1, 0),
         {}},
        {"a modify: only the releases named, the installed one left out",
         Of(0, 0, 1, 1),
         Of(0, 0, 1, 0),
         &only2026,
         Of(0, 0, 0, 1),
         {}},
        {"named but not found: passed over",
         Of(0, 0, 1, 0),
         Of(0, 0, 1, 0),
         &notHere,
         Of(0, 0, 1, 0),
         {2024}},
    };
    for (const auto& c : cases) {
        const ReleaseChoice choice = ChooseReleases(c.offered, c.preset, c.named);
        EXPECT_EQ(choice.chosen.Releases(), c.chosen.Releases()) << c.what;
        EXPECT_EQ(choice.passedOver, c.passedOver) << c.what;
    }
}

TEST(ChooseReleases, TheRecordedReleasesAreTheYearsItServed) {
    InstallRecord record;
    record.releases = {{2026, "C:\\a", "K\\"},
                       {2024, "C:\\b", "K\\"},
                       {2026, "C:\\c", "K\\"},
                       {2031, "C:\\d", "K\\"}};
    EXPECT_EQ(RecordedReleases(record).Releases(), Of(0, 1, 0, 1).Releases());
}

}  // namespace
