// Path text helpers shared by discovery and deployment.
#pragma once

#include "framework/afx_string.h"

// Removes one backslash at the end of a path, unless it is the path's first
// character. The search is double-byte aware: the trail byte of a GBK
// character (which may be 0x5C) is never taken for a backslash.
void StripTrailingBackslash(CString& path);

// The same, but the backslash goes even as the text's first character: "\"
// becomes empty, and a drive root "D:\" becomes "D:" with either.
void StripAnyTrailingBackslash(CString& path);
