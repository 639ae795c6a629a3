// Putting the fonts and host modules into the folders of the host
// installations. Nothing is asked: files are written through the
// installation's journal (a host's own file of the same name is kept in the
// installation folder), a file that cannot be written is counted in its
// account.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "hosts/found_hosts.h"

class InstallContext;

// Every host folder of every selected release, in release and list order,
// from the package beside the setup program in `setupFolder`; the host's own
// files replaced are kept in `installFolder` (none: replaced as any other).
void DeployToHosts(const CString& setupFolder, const FoundHosts& registry,
                   const ReleaseSelection& releases, const CString& installFolder,
                   InstallContext& install);

// The shape fonts into its "Fonts" folder (when there is one), the PDF
// library and the host modules the package holds into the folder itself.
// The host's own files they replace go to `keepFolder` (none: replaced).
void DeployToHostFolder(const CString& setupFolder, const CString& hostFolder,
                        const CString& keepFolder, InstallContext& install);

// Where DeployToHostFolder may write in a host folder: the fonts (when the
// folder has a fonts folder), the PDF library and every host module.
std::vector<CString> HostFilePaths(const CString& hostFolder);
