// The host installations a run found in the registry (hosts/host_discovery.h),
// found once and passed down read-only. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "hosts/host_release.h"
#include "text/place_keys.h"

// The vendor product keys searched for hosts, in search order, each under
// HKEY_CURRENT_USER and then HKEY_LOCAL_MACHINE.
struct HostProductKeys {
    static constexpr int kCount = 8;
    static const char* const kPaths[kCount];
};

class FoundHosts {
public:
    // Per release, parallel lists: item i of both describes one installation.
    // Folders have no trailing backslash; key paths are root-relative and end
    // with a backslash.
    CStringArray hostFolders[kHostReleaseCount];
    CStringArray hostKeys[kHostReleaseCount];

    int GetHostCount(HostRelease release) const {
        return hostFolders[HostReleaseIndex(release)].GetSize();
    }
    const CString& GetHostFolder(HostRelease release, int i) const {
        return hostFolders[HostReleaseIndex(release)].GetAt(i);
    }
    const CString& GetHostKey(HostRelease release, int i) const {
        return hostKeys[HostReleaseIndex(release)].GetAt(i);
    }
};

// Keeps, in list order, each item whose key path and folder differ
// (case-insensitively, in the ANSI code page) from those of every earlier
// surviving item. With `places`, a folder is also the same as another name
// of its place (its short name, a link to it): one folder served twice
// would take the plug-in's own file it wrote first for a host's. The lists
// stay parallel.
void RemoveDuplicateInstallations(CStringArray& keyPaths, CStringArray& folderPaths,
                                  const PlaceKeys* places = nullptr);
