// Which host releases a run serves: an installation, a repair or a modify.
// Platform-free.
#pragma once

#include <vector>

#include "hosts/host_release.h"
#include "record/install_record.h"

// The releases an installation's record says it served.
ReleaseSelection RecordedReleases(const InstallRecord& record);

struct ReleaseChoice {
    ReleaseSelection chosen;
    std::vector<int> passedOver;  // named, but not offered on this machine now
};

// Out of the releases `offered` (found on this machine now): those `named`
// (/COMPONENTS; null when not given), else those of `preset` (every release
// offered for an installation; those installed for a repair, and as a
// modify ticks them first). A release installed but not offered is not
// chosen: what it had stays as it is. A modify that leaves an installed
// release out removes it.
ReleaseChoice ChooseReleases(const ReleaseSelection& offered, const ReleaseSelection& preset,
                             const std::vector<int>* named);
