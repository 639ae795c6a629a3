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

// True for a path that names the same place whatever the current folder and
// drive: a local path "X:\..." (X an ASCII letter) or a UNC path
// "\\server\share...". Empty, relative ("name", "..\x"), drive-relative
// ("C:", "C:name") and rooted ("\name") texts are not, nor are the device
// forms "\\.\..." and "\\?\...", nor a text with a wildcard ('?' or '*'),
// which names no one place; '?' is also what a folder name the ANSI code page
// cannot hold reads as. Double-byte aware: a trail byte 0x5C inside a server
// or share name is not a separator.
bool IsAbsolutePath(const char* path);
