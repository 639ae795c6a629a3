// Which releases an installation, a repair and a modify serve.
#include <gtest/gtest.h>

#include <string>

#include "setup/release_choice.h"

namespace {

// "0110": 2024 and 2025, one digit per release from 2023 on.
ReleaseSelection Of(const std::string& releases) {
    ReleaseSelection selection;
    for (const HostRelease release : kHostReleases) {
        selection.Select(release, releases[HostReleaseIndex(release)] == '1');
    }
    return selection;
}

TEST(ChooseReleases, NamedOrPresetOutOfThoseOfferedNow) {
    const std::vector<int> only2026 = {2026};
    const std::vector<int> notHere = {2024, 2025};
    const struct {
        const char* what;
        const char* offered;
        const char* preset;
        const std::vector<int>* named;
        const char* chosen;
        std::vector<int> passedOver;
    } cases[] = {
        {"an installation: every release offered", "0110", "0110", nullptr, "0110", {}},
        {"a repair: what is installed and still found", "0011", "0110", nullptr, "0010", {}},
        {"a modify: only the releases named", "0011", "0010", &only2026, "0001", {}},
        {"named but not found: passed over", "0010", "0010", &notHere, "0010", {2024}},
    };
    for (const auto& c : cases) {
        const ReleaseChoice choice = ChooseReleases(Of(c.offered), Of(c.preset), c.named);
        EXPECT_EQ(choice.chosen.Releases(), Of(c.chosen).Releases()) << c.what;
        EXPECT_EQ(choice.passedOver, c.passedOver) << c.what;
    }
}

TEST(ChooseReleases, TheRecordedReleasesAreTheYearsItServed) {
    InstallRecord record;
    record.releases = {{2026, "C:\\a", "K\\"},
                       {2024, "C:\\b", "K\\"},
                       {2026, "C:\\c", "K\\"},
                       {2031, "C:\\d", "K\\"}};
    EXPECT_EQ(RecordedReleases(record).Releases(), Of("0101").Releases());
}

}  // namespace
