// Registry keys and values: the one way a key is opened or created, owned by
// a ScopedRegKey, and the one way a value is written.
#pragma once

#include <windows.h>

#include "framework/scoped_handles.h"

namespace afx {

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};

using ScopedRegKey = ScopedHandle<RegKeyTraits>;

// The one way keys are opened: an owned key, or an empty one when the call
// fails (whatever the call left in its output then is not a handle), with
// GetLastError() the registry's answer (its functions set none). A null or
// empty name opens the parent itself once more. `options` may ask for a
// link key itself (REG_OPTION_OPEN_LINK) rather than the key it leads to.
ScopedRegKey OpenRegKey(HKEY parent, const char* name, REGSAM access = MAXIMUM_ALLOWED,
                        DWORD options = 0);

// The same, creating the key and any missing parents first (`options`: a
// key kept on the disk, or REG_OPTION_VOLATILE for one gone at the restart).
ScopedRegKey CreateRegKey(HKEY parent, const char* name, REGSAM access = MAXIMUM_ALLOWED,
                          DWORD options = REG_OPTION_NON_VOLATILE);

// How the program's numbers and texts are written (lists and raw bytes are
// written where they are made: the plug-in key's values, the restart's
// queue, an entry's saved values put back); false when the call fails. A
// text's size counts its terminating NUL: the text is written whole.
bool SetRegDword(HKEY key, const char* name, DWORD data);
bool SetRegText(HKEY key, const char* name, const char* text);
// A program text (GBK) stored as Unicode, so that the system shows it right
// whatever its code page.
bool SetRegProgramText(HKEY key, const wchar_t* name, const char* gbk);

// True when the key, opened with REG_OPTION_OPEN_LINK, is a link to another
// key: such a key is never followed nor written through.
bool IsRegLink(HKEY key);

}  // namespace afx
