#include "setup/release_choice.h"

ReleaseSelection RecordedReleases(const InstallRecord& record) {
    ReleaseSelection recorded;
    for (const InstallRecord::Release& served : record.releases) {
        HostRelease release;
        if (HostReleaseFromYear(served.year, &release)) recorded.Select(release, true);
    }
    return recorded;
}

ReleaseChoice ChooseReleases(const ReleaseSelection& offered, const ReleaseSelection& preset,
                             const std::vector<int>* named) {
    ReleaseChoice choice;
    if (!named) {
        for (const HostRelease release : preset.Releases()) {
            choice.chosen.Select(release, offered.IsSelected(release));
        }
        return choice;
    }
    for (const int year : *named) {
        HostRelease release;
        if (!HostReleaseFromYear(year, &release)) continue;  // refused by the command line
        if (offered.IsSelected(release)) {
            choice.chosen.Select(release, true);
        } else {
            choice.passedOver.push_back(year);
        }
    }
    return choice;
}
