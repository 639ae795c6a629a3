// The per-user stage: what the installation does in the profile of the
// account that runs it, done for the user that runs UserSetup.exe, at that
// user's logon. It runs as that user, unelevated, and never shows anything.
#pragma once

#include "framework/afx_string.h"

class RunLog;

// Serves the running user (HKEY_CURRENT_USER, the user's settings folder) for
// the installation in `installFolder`: the "Applications" entries of every
// host the installation served whose profile the user has, and, once for
// each version, the settings file; recorded in the user's hive. While a served host has no profile
// of this user's yet, the stage starts again at the user's next logon. Running it again changes
// nothing. The exit code: success unless there is no installation to serve.
int RunUserStage(const CString& installFolder, RunLog& log);
