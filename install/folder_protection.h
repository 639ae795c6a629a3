// Only administrators may change what the hosts load from the installation
// folder: it gets its protected descriptor once it is made or taken over,
// and so does a chosen folder an earlier installation made before its
// folders were protected.
#pragma once

#include "framework/afx_string.h"

class RunLog;

// Gives `folder` the installation folder's protected descriptor, every entry
// in it reset, and logs how that went. A volume that keeps no permissions is
// no failure. False when it cannot be done (GetLastError() tells why): the
// installation stops.
bool ProtectForTheInstallation(const CString& folder, RunLog& log);
