// What a run finds on the machine before it changes anything, found once
// (setup/wizard_app.cpp) and passed down read-only: the host installations
// and what the earlier installation left.
#pragma once

#include "hosts/found_hosts.h"
#include "record/record_store.h"

struct MachineAtStart {
    FoundHosts hosts;
    EarlierRecords earlier;
};
