// The file system's small questions and answers that every step shares:
// what a path names, links, the read-only attribute, sizes, free names,
// small files read whole. The program runs elevated, so nothing here
// follows a link it was not asked to.
#pragma once

#include <windows.h>

#include <string>

#include "framework/afx_string.h"

enum class PathKind { Absent, File, Folder };

// What exactly this path names (no wildcard), by a directory search.
PathKind GetPathKind(const char* path);

// True when the path itself, not what it may lead to, is a reparse point:
// a symbolic link, a junction or a mount point.
bool IsReparsePoint(const char* path);

// Removes the link itself (a file or a folder link), never its target.
bool RemoveLink(const char* path);

// Removes the read-only attribute of one file; a missing file is left alone.
// The one place that attribute is cleared.
void ClearReadOnly(const char* path);

// Deletes one file, read-only or not; false, with GetLastError() set, when
// it is still there.
bool RemoveFile(const char* path);

// Moves the file at `from` to `to`, replacing whatever is there, and gives
// it `attributes` unless they are INVALID_FILE_ATTRIBUTES: a file renamed
// aside goes back to its place.
bool RestoreFile(const char* from, const char* to, DWORD attributes);

// The size of a file, 0 when it cannot be read.
unsigned long long FileSize(const char* path);

// True when both files hold the same bytes (and neither is larger than a
// settings file or a program may be).
bool SameContent(const char* a, const char* b);

// The first name `stem` + `extension` (numbered from the second attempt on,
// text/path_text.h) that nothing holds yet.
CString FreeName(const CString& stem, const char* extension);

// The whole text of a file of at most `maxBytes`, never read through a link
// (a link in its place is refused). False when it cannot be read whole.
bool ReadSmallFile(const char* path, DWORD maxBytes, std::string* text);
