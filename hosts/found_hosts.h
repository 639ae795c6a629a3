// The process-wide record of host installations, filled from the registry
// before the setup dialog opens (hosts/host_discovery.h). Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "hosts/host_release.h"

// The vendor product keys searched for hosts, in search order, each under
// HKEY_CURRENT_USER and then HKEY_LOCAL_MACHINE.
struct HostProductKeys {
    static constexpr int kCount = 8;
    static const char* const kPaths[kCount];
};

class FoundHosts {
public:
    // The plug-in's installation folder (no trailing backslash); set by the
    // install command before registration reads it.
    CString installFolder;
    // Per release, parallel lists: item i of both describes one installation.
    // Folders have no trailing backslash; key paths are root-relative and end
    // with a backslash.
    CStringArray hostFolders[kHostReleaseCount];
    CStringArray hostKeys[kHostReleaseCount];
    // Working state of one release-key search.
    CString markerValueName;
    CStringArray foundKeys;
    CStringArray foundFolders;

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
// surviving item. The lists stay parallel.
void RemoveDuplicateInstallations(CStringArray& keyPaths, CStringArray& folderPaths);

// The one record of the program, constructed right after the application object.
extern FoundHosts theHostRegistry;
