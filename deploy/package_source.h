// Finding the package beside the setup program (or the package an
// installation keeps in its folder, which is read the same way).
#pragma once

#include <vector>

#include "framework/afx_string.h"

// The package source folder in the setup program's folder `setupFolder` (no
// trailing backslash): its "Data" folder, or the folder itself in a flat
// package. When neither is there the user is told the package was not
// unpacked and the result is false.
bool ResolvePackageSource(const CString& setupFolder, CString& sourceFolder);

// The names of `names` that the package source folder lacks as files.
std::vector<CString> MissingPackageFiles(const CString& sourceFolder,
                                         const std::vector<CString>& names);
