// Entering the plug-in under "Applications" of each host's per-user profile,
// so the host loads it at its next start. Silent: nothing is reported.
#pragma once

#include "hosts/host_registry.h"

// RegisterRelease for each selected release, in release order.
void RegisterPlugin(const HostInstallRegistry& registry, bool use2023, bool use2024, bool use2025,
                    bool use2026);

// Both entries below every host key of the release (a year from 2023 to
// 2026; any other does nothing) that exists under HKEY_CURRENT_USER.
void RegisterRelease(const HostInstallRegistry& registry, int release);
