// How the host's process is recognised by its image name. Platform-free, so
// the matching rule is tested natively as well as under code page 936.
#pragma once

#include "framework/afx_string.h"

// The host's process image name.
extern const char kHostImageName[];

// The image name folded to lower case: single-byte letters fold, double-byte
// characters fold by the system's mapping on Windows (natively they stay as
// they are) and are never split, so a trail byte is never changed on its own.
CString FoldImageNameToLowerCase(const char* imageName);

// True when the image name, folded to lower case, contains "gcad.exe" starting
// at a character boundary: a byte inside a double-byte character never starts
// a match.
bool ImageNameIsHost(const char* imageName);
