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

// True for a path that names the same place whatever the current folder and
// drive: a local path "X:\..." (X an ASCII letter) or a UNC path
// "\\server\share...". Empty, relative ("name", "..\x"), drive-relative
// ("C:", "C:name") and rooted ("\name") texts are not, nor are the device
// forms "\\.\..." and "\\?\...". Double-byte aware: a trail byte 0x5C inside
// a server or share name is not a separator.
bool IsAbsolutePath(const char* path);
