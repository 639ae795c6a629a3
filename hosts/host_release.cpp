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

ReleaseSelection::ReleaseSelection(std::initializer_list<HostRelease> releases) {
    for (const HostRelease release : releases) Select(release, true);
}

bool ReleaseSelection::IsSelected(HostRelease release) const {
    return m_selected[HostReleaseIndex(release)];
}

void ReleaseSelection::Select(HostRelease release, bool selected) {
    m_selected[HostReleaseIndex(release)] = selected;
}

bool ReleaseSelection::Any() const {
    return !Releases().empty();
}

std::vector<HostRelease> ReleaseSelection::Releases() const {
    std::vector<HostRelease> selected;
    for (HostRelease release : kHostReleases) {
        if (IsSelected(release)) selected.push_back(release);
    }
    return selected;
}
