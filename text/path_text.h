// Path text helpers shared by discovery and deployment.
#pragma once

#include "framework/afx_string.h"

// Removes one backslash at the end of a path, unless it is the path's first
// character. The search is double-byte aware: the trail byte of a GBK
// character (which may be 0x5C) is never taken for a backslash.
void StripTrailingBackslash(CString& path);

// Removes one backslash at the end of a folder text when it is a real
// backslash character, whatever comes before it (a drive root "D:\" becomes
// "D:"). The trail byte 0x5C of a double-byte character is not one.
void RemoveTrailingBackslashChar(CString& path);
