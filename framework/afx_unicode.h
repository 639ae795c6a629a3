// Where the program's narrow texts meet the window system: the one
// conversion between them and UTF-16. Every text reaches the screen through
// the wide functions, read in its own code page: the program's texts as GBK
// on any system, paths in the system's ANSI code page.
#pragma once

#include <windows.h>

#include <string>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

namespace afx {

// The code page of the program's own literals (sources are compiled with
// -fexec-charset=GBK).
constexpr UINT kProgramCodePage = 936;

// kProgramCodePage or CP_ACP.
UINT CodePageOf(TextOrigin origin);

std::wstring ToWide(const char* text, UINT codePage);
std::wstring ToWide(const UiText& text);

// A wide text in a code page. Characters the code page cannot hold become
// '?', never a look-alike (no best-fit mapping: U+FF3C must not turn into a
// backslash, nor "ā" into "a" and so into another folder); '?' is in no
// folder name, so such a path is refused like any other invalid one.
// Returns false when that happened.
bool FromWide(const wchar_t* text, UINT codePage, CString* out);

}  // namespace afx
