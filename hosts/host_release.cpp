#include "hosts/host_release.h"

namespace {

// Indexed like HostRelease: the text a release key's name must contain.
constexpr const char* kReleaseCodes[kHostReleaseCount] = {"R23", "R24", "R25", "R26"};

constexpr int kFirstYear = HostReleaseYear(HostRelease::R2023);

}  // namespace

const char* HostReleaseCode(HostRelease release) {
    return kReleaseCodes[HostReleaseIndex(release)];
}

bool HostReleaseFromYear(int year, HostRelease* release) {
    const int index = year - kFirstYear;
    if (index < 0 || index >= kHostReleaseCount) return false;
    if (release) *release = kHostReleases[index];
    return true;
}

std::vector<HostRelease> SelectedReleases(bool use2023, bool use2024, bool use2025, bool use2026) {
    const bool use[kHostReleaseCount] = {use2023, use2024, use2025, use2026};
    std::vector<HostRelease> selected;
    for (HostRelease release : kHostReleases) {
        if (use[HostReleaseIndex(release)]) selected.push_back(release);
    }
    return selected;
}
