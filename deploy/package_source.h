// Finding the package beside the setup program, and the download mark of
// its files.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "system/file_ops.h"

// Deletes the file's ":Zone.Identifier" stream; true when one was deleted.
bool RemoveDownloadMark(const char* filePath);

// The package source folder of the running setup program: its "Data" folder,
// or the program's own folder in a flat package. When neither is there the
// user is told the package was not unpacked and the result is false.
bool ResolvePackageSource(CString& sourceFolder);

// The same for the given setup folder (no trailing backslash).
bool ResolvePackageSource(const CString& setupFolder, CString& sourceFolder);

// The names of `names` that the package source folder lacks as files.
std::vector<CString> MissingPackageFiles(const CString& sourceFolder,
                                         const std::vector<CString>& names);
