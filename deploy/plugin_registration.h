// Entering the plug-in under "Applications" of each host's per-user profile,
// so the host loads it at its next start. Nothing is asked: the keys written
// are noted in the installation's journal, a key or value that cannot be
// written is counted in its account. No key is opened, created or deleted
// through a registry link (system/reg_ops.h).
#pragma once

#include "hosts/found_hosts.h"

class InstallContext;

// RegisterRelease for each selected release, in release order.
void RegisterPlugin(const FoundHosts& registry, bool use2023, bool use2024, bool use2025,
                    bool use2026, InstallContext& install);

// Both entries below every host key of the release (a year from 2023 to
// 2026; any other does nothing) that exists under HKEY_CURRENT_USER.
void RegisterRelease(const FoundHosts& registry, int release, InstallContext& install);

// True when a host key of the release (a year from 2023 to 2026) has no
// profile under HKEY_CURRENT_USER yet: the user never started that host.
bool ProfileMissing(const FoundHosts& registry, int release);
