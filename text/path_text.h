// Path text: the one place where paths are cut, joined, named and compared.
// Platform-free. Every walk steps by whole characters, so the trail byte of
// a GBK character (which may be 0x5C) is never taken for a backslash.
#pragma once

#include <algorithm>
#include <vector>

#include "framework/afx_string.h"

// Removes one backslash at the end of a path, unless it is the path's first
// character.
void StripTrailingBackslash(CString& path);

// The same, but the backslash goes even as the text's first character: "\"
// becomes empty, and a drive root "D:\" becomes "D:" with either.
void StripAnyTrailingBackslash(CString& path);

// A drive stays a root: "D:" alone names the current folder of drive D, so
// it becomes "D:\". Any other text is returned as it is.
CString AsFolderPath(const CString& folder);

// True for a path that names the same place whatever the current folder and
// drive: a local path "X:\..." (X an ASCII letter) or a UNC path
// "\\server\share...". Empty, relative ("name", "..\x"), drive-relative
// ("C:", "C:name") and rooted ("\name") texts are not, nor are the device
// forms "\\.\..." and "\\?\...", nor a text with a wildcard ('?' or '*'),
// which names no one place; '?' is also what a folder name the ANSI code page
// cannot hold reads as. A trail byte 0x5C inside a server or share name is
// not a separator.
bool IsAbsolutePath(const char* path);

// The folder, a backslash and the name; never cut.
CString JoinPath(const CString& folder, const char* name);

// Everything before the path's last backslash; empty when there is none.
CString ParentFolder(const char* path);

// Everything after the path's last backslash; the whole text when there is none.
CString FileNameOf(const char* path);

// A name for a new file beside others: `stem` + `extension` for the first
// attempt, `stem` + "-<n>" + `extension` for attempt n from 2 on. Callers
// count attempts until the name is free, so that nothing is overwritten.
CString NumberedName(const CString& stem, int attempt, const char* extension);

// A local date and time as file names carry it.
struct LocalTimestamp {
    int year, month, day, hour, minute, second;
};

// "<path>.<yyyymmdd-hhmmss>": the stem of a file kept from a given moment.
CString TimestampedStem(const CString& path, const LocalTimestamp& time);

bool IsAsciiLetter(char c);

// Offset of the backslash that ends the name starting at `start`, or the
// text's length when the name runs to the end.
int NameEndAt(const CString& text, int start);

// The one form a path read from elsewhere is used in: backslashes only, no
// "." or ".." names, no empty names, no trailing dots or spaces on a name
// (the file system drops them). A drive root is "C:\", any other path has
// no trailing backslash. False for a path that is not absolute, that ".."
// would lead above its root, or that names a stream (a ':' after the
// drive): such a path is used for nothing.
bool NormalizePath(const char* path, CString* normal);

// The normal form with ASCII letters folded to lower case: the one form
// paths are compared in.
bool CanonicalPath(const char* path, CString* canonical);
// True when both paths have a canonical form and it is the same.
bool IsSamePath(const char* a, const char* b);

// Both canonical: true when the path is the folder itself or lies anywhere
// below it.
bool IsWithinFolder(const CString& canonicalPath, const CString& canonicalFolder);
// Both canonical: true when the path lies exactly one level below the folder.
bool IsDirectlyInFolder(const CString& canonicalPath, const CString& canonicalFolder);

// How many levels below its root a path or a registry key lies: its
// backslashes, counted by whole characters.
int PathDepth(const char* path);

// The one order in which what an installation made goes: the deepest path
// first (a folder or key before the one it lies in), those of one depth
// in the order they came. `pathOf` gives an item's path.
template <typename Item, typename PathOf>
void SortDeepestFirst(std::vector<Item>& items, PathOf pathOf) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return PathDepth(pathOf(a)) > PathDepth(pathOf(b));
    });
}
