// Host discovery: filling the record of host installations from the registry.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "hosts/host_registry.h"
#include "hosts/system_folders.h"

// A host folder the registry names that is no installation's.
struct RefusedHostFolder {
    CString folder;
    const char* reason;
};

// Fills the record's hostFolders and hostKeys from the registry: every
// product key under both roots, then duplicates removed per release. Never
// fails. Folders that are system folders are passed over, and listed in
// `refused` when it is given.
void DiscoverHostInstallationsInto(HostInstallRegistry& registry,
                                   std::vector<RefusedHostFolder>* refused = nullptr);
// The same with the system folders found beforehand: the shell, asked for
// them, writes into whatever hive HKEY_CURRENT_USER stands for.
void DiscoverHostInstallationsInto(HostInstallRegistry& registry, const SystemFolders& system);
