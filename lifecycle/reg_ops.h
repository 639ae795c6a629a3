// Registry keys opened and deleted without passing through a link. The
// uninstaller runs elevated and works in every user's hive, where any key
// on a path could be a link a user made to a key only administrators may
// change: nothing there may be followed.
#pragma once

#include <windows.h>

#include "framework/scoped_handles.h"

// Opens `path` below `root` one level at a time, each level as the key itself
// (REG_OPTION_OPEN_LINK), refusing a level that is a link. The registry's
// result: ERROR_FILE_NOT_FOUND when a level is missing, ERROR_CANT_ACCESS_FILE
// when one is a link.
LONG OpenKeyNotThroughLinks(HKEY root, const char* path, REGSAM access, afx::ScopedRegKey* key);

// Deletes the key that path names, reached that way: the very key that was
// checked, not one a link swapped in since. A key with subkeys stays
// (ERROR_ACCESS_DENIED, as RegDeleteKey answers).
LONG DeleteKeyNotThroughLinks(HKEY root, const char* path);
