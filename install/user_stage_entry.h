// The per-user stage (peruser/) as an installation sets it up: written
// beside the uninstaller, and entered in Active Setup so that every other
// user of the machine gets the plug-in at logon.
#pragma once

#include "framework/afx_string.h"

class FoundHosts;
class InstallContext;
struct InstallRequest;

// The stage, which travels inside this program, beside the uninstaller
// through the journal; false (and counted as not done) when it is not there.
bool WriteUserStage(const CString& installFolder, InstallContext& install);

// The stage in Active Setup, and the account that ran the setup stamped as
// served unless it has no profile of its own or lacks a host's. Moved to
// another folder, or `servesUsersAgain` (another version, other hosts): every
// user is served again.
void EnterUserStage(const InstallRequest& request, const FoundHosts& hosts, bool servesUsersAgain,
                    InstallContext& install);
