// Host discovery: filling the record of host installations from the registry.
#pragma once

#include "hosts/host_registry.h"

// Fills the record's hostFolders and hostKeys from the registry: every
// product key under both roots, then duplicates removed per release. Never fails.
void DiscoverHostInstallationsInto(HostInstallRegistry& registry);

// Discovery on theHostRegistry; run once by application start-up.
void DiscoverHostInstallations();
