// Whether two names are one thing, asked of the file system. A file or a
// folder has many names: its short (8.3) name, another case, a trailing dot,
// the "\\?\" form, another drive letter for the same volume, a link above
// it. Only the file system knows them all; the texts never tell.
#pragma once

#include "framework/afx_string.h"
#include "text/place_keys.h"

// The file system's own name for what `path` names: its final path, with
// every link above it followed and every name as it is on the disk (long
// names, their case), without the "\\?\" prefix. For a path whose last
// names do not exist yet, the final path of the deepest folder that does,
// with the rest appended in its normal form. False when the path is not
// absolute, when nothing of it exists, or when the final path holds a
// character the ANSI code page cannot (no look-alike is made up).
bool FinalPathOf(const char* path, CString* finalPath);

// True when both paths name one existing file or folder (the same volume
// and file index). Asked with no access to the content: a file another
// program holds open without sharing still answers.
bool IsSameObject(const char* a, const char* b);

// The file system's keys (text/place_keys.h): the canonical form of the
// final path, or of the path's own text when the file system cannot name it
// (nothing of it exists, as on a drive that is not there). The one
// PlaceKeys of the programs; it holds nothing.
const PlaceKeys& FileSystemPlaceKeys();

// True when both paths name the same place, existing or not: their keys
// (FileSystemPlaceKeys) are the same.
bool IsSamePlace(const char* a, const char* b);
