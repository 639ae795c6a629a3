// The plug-in's entry in Programs and Features (Apps) under
// HKEY_LOCAL_MACHINE, one of the machine-wide keys the program writes (with
// the plug-in's own key and the Active Setup entry). It names the
// uninstaller, and it tells a later setup where the plug-in went.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"
#include "run/product.h"  // kUninstallEntryKey

struct UninstallEntry {
    CString installFolder;  // the installation folder, "<chosen>\T-ZozerIded"
    int version;            // yyyymmdd, shown as the title shows it, "2025.10.30"
    unsigned long long installedBytes;
};

// Writes the entry anew (a second installation replaces the first one's).
bool WriteUninstallEntry(const UninstallEntry& entry);
// The installation folder the entry names; empty when there is no entry or
// its folder is not an absolute path.
CString ReadInstalledFolder();
// The registry's result (ERROR_FILE_NOT_FOUND when there was none).
LONG DeleteUninstallEntry();
