// Finding the package beside the setup program (or the package an
// installation keeps in its folder, which is read the same way), and the
// download mark of its files.
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

// The package an installation in `installFolder` keeps (kPackageDataFolder)
// is believed only while it is what the installation recorded (the
// record's machine copy, else its file): every file
// in it recorded, each still of its recorded size and SHA-256
// (record/file_ownership.h), and no recorded one missing. Returns what
// fails that by name (the folder or the record when there is none); empty
// when the kept package may be installed from.
std::vector<CString> KeptPackageFaults(const CString& installFolder);
