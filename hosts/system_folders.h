// Folders that are no host's folder whatever the registry says. A host's
// "Location" under HKEY_CURRENT_USER is written by the user whose profile it
// is, and the elevated setup would put the plug-in's modules and fonts
// wherever it points: into the Windows folder, a drive's root, a Program
// Files root or a profile root. Such a folder is passed over (its release
// is still offered for the host folders that remain).
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "text/place_keys.h"

struct SystemFolders {
    std::vector<CString> windows;     // nothing inside them either
    std::vector<CString> exactRoots;  // Program Files roots and profile roots
};

// The registry's list of user profiles (below HKEY_LOCAL_MACHINE), and the
// value of each profile's key that names its folder: no host lives in a
// profile's root, and the uninstaller clears every profile listed.
extern const char kProfileListKey[];
extern const char kProfileFolderValue[];

// The folders of this machine (Win32).
SystemFolders SystemFoldersOfThisMachine();

// Why the folder is refused as a host folder, or null when it is not: by
// the places the folders name (`keys`), so that another name of a system
// folder (its short name, a link to it) is refused too. Platform-free.
const char* SystemFolderRefusal(const char* folder, const SystemFolders& system,
                                const PlaceKeys& keys);
