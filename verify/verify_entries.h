// The registry entries of an installation as Uninstall.exe /VERIFY judges
// them: each is missing, as the installation writes it, or names something
// else. Reads only, and below HKEY_CURRENT_USER never through a link.
#pragma once

#include <vector>

#include "framework/afx_string.h"

class Findings;
class FoundHosts;
struct InstallRecord;

// A host installation the record names that discovery finds now, as
// discovery gives it.
struct ServedHost {
    int year;
    CString folder;
    CString key;  // below HKEY_CURRENT_USER, ending with a backslash
};

// The hosts of the record that discovery finds now; each recorded one it no
// longer finds is noted (not damage: the CAD is gone, not the plug-in).
std::vector<ServedHost> FindServedHosts(const InstallRecord& record, const FoundHosts& hosts,
                                        Findings& findings);

// The Programs and Features entry names `installFolder`; the Active Setup
// entry starts the per-user stage there.
void VerifyMachineEntries(const CString& installFolder, Findings& findings);

// The plug-in's two entries below "Applications" of each served host whose
// profile this account has, with the values an installation writes
// (deploy/plugin_registration.h): the main module in `installFolder`, the
// companion module in the host folder.
void VerifyAccountEntries(const CString& installFolder, const std::vector<ServedHost>& hosts,
                          Findings& findings);
