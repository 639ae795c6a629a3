// Entering the plug-in under "Applications" of each host's per-user profile,
// so the host loads it at its next start. Nothing is asked: the keys written
// are noted in the installation's journal, a key or value that cannot be
// written is counted in its account. No key is opened, created or deleted
// through a registry link (system/reg_ops.h).
#pragma once

#include "framework/afx_string.h"
#include "hosts/found_hosts.h"

class InstallContext;

// RegisterRelease for each selected release, in release order.
void RegisterPlugin(const FoundHosts& registry, const ReleaseSelection& releases,
                    const CString& installFolder, InstallContext& install);

// Both entries below every host key of the release that exists under
// HKEY_CURRENT_USER; the main module's loader in `installFolder`.
void RegisterRelease(const FoundHosts& registry, HostRelease release, const CString& installFolder,
                     InstallContext& install);

// True when a host key of the release has no profile under
// HKEY_CURRENT_USER yet: the user never started that host.
bool ProfileMissing(const FoundHosts& registry, HostRelease release);
