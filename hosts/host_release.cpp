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
