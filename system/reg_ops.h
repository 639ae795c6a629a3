// Registry keys opened, created and deleted without passing through a link.
// The program runs elevated and works below HKEY_CURRENT_USER (its own, and
// every user's hive when it uninstalls), where any key on a path could be a
// link a user made to a key only administrators may change: nothing there
// may be followed. Each level of a path is opened as the key itself
// (REG_OPTION_OPEN_LINK), and a level that is a link is refused.
#pragma once

#include <windows.h>

#include "framework/afx_registry.h"

// Opens `path` below `root` that way. The registry's result:
// ERROR_FILE_NOT_FOUND when a level is missing, ERROR_CANT_ACCESS_FILE when
// one is a link.
LONG OpenKeyNotThroughLinks(HKEY root, const char* path, REGSAM access, afx::ScopedRegKey* key);

// The same, creating the levels that are missing.
LONG CreateKeyNotThroughLinks(HKEY root, const char* path, REGSAM access, afx::ScopedRegKey* key);

// Deletes the key that path names, reached that way: the very key that was
// checked, not one a link swapped in since. A key with subkeys stays
// (ERROR_ACCESS_DENIED, as RegDeleteKey answers).
LONG DeleteKeyNotThroughLinks(HKEY root, const char* path);
