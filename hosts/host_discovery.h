// Host discovery: the host installations the registry describes.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "hosts/found_hosts.h"
#include "hosts/system_folders.h"

// The whole search stops after this many keys. A host's profile holds a few
// hundred; the bound keeps any tree a user can make under HKEY_CURRENT_USER
// (a very wide one, say) from holding up the dialog for more than a moment.
constexpr int kDiscoveryKeyBudget = 100000;

// A host folder the registry names that is no installation's.
struct RefusedHostFolder {
    CString folder;
    const char* reason;
};

// The host installations in the registry: every product key under both
// roots, then duplicates removed per release. Never fails. Folders that are
// system folders are passed over, and listed in `refused` when it is given.
// A run calls it once, before any window, and passes what it found down.
FoundHosts DiscoverHostInstallations(std::vector<RefusedHostFolder>* refused = nullptr);

// The same into `registry`, with the system folders found beforehand: the
// shell, asked for them, writes into whatever hive HKEY_CURRENT_USER stands
// for. `keyBudget` is for tests of the bound.
void DiscoverHostInstallationsInto(FoundHosts& registry, const SystemFolders& system,
                                   int keyBudget = kDiscoveryKeyBudget);
