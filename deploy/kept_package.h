// The package an installation keeps in its folder (kPackageDataFolder), from
// which Uninstall.exe repairs and modifies it: believed only while it is what
// the installation recorded.
#pragma once

#include <vector>

#include "framework/afx_string.h"

class EarlierRecords;

// Checks the kept package of the installation in `installFolder` against its
// record as `earlier` read it (the machine's copy first, else the file): every
// file in it recorded, each still of its recorded size and SHA-256
// (record/file_ownership.h), and no recorded one missing. Returns what fails
// that by name (the folder or the record when there is none); empty when the
// kept package may be installed from.
std::vector<CString> KeptPackageFaults(const EarlierRecords& earlier, const CString& installFolder);
