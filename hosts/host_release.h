// The supported host releases, always handled in this order.
#pragma once

#include <initializer_list>
#include <vector>

enum class HostRelease { R2023 = 0, R2024 = 1, R2025 = 2, R2026 = 3 };

constexpr int kHostReleaseCount = 4;
constexpr HostRelease kHostReleases[kHostReleaseCount] = {HostRelease::R2023, HostRelease::R2024,
                                                          HostRelease::R2025, HostRelease::R2026};

constexpr int HostReleaseIndex(HostRelease release) {
    return static_cast<int>(release);
}

// The four-digit year by which the other parts name a release.
constexpr int HostReleaseYear(HostRelease release) {
    return 2023 + HostReleaseIndex(release);
}

// The text a release key's name must contain: "R23" to "R26".
const char* HostReleaseCode(HostRelease release);

// The release of a year; false for any year outside 2023 to 2026.
bool HostReleaseFromYear(int year, HostRelease* release);

// A set of releases: those ticked, offered, chosen or recorded, as the
// parts pass them between each other.
class ReleaseSelection {
public:
    ReleaseSelection() = default;
    ReleaseSelection(std::initializer_list<HostRelease> releases);

    bool IsSelected(HostRelease release) const;
    void Select(HostRelease release, bool selected);
    bool Any() const;
    // The releases selected, in release order.
    std::vector<HostRelease> Releases() const;

private:
    bool m_selected[kHostReleaseCount] = {};  // indexed like HostRelease
};
