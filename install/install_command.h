// The install command of the setup dialog (its install button): what it
// checks before anything changes, each refusal said in a box owned by the
// dialog. The dialog calls it and acts on the answers (its layouts, the
// installation, its end); nothing here knows the dialog.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"
#include "hosts/host_release.h"
#include "install/installation.h"

class RunLog;

// True while the install command still looks for a running host: the
// warning is given at most once per run.
extern bool g_bWarnHostRunning;

// True when a host runs and the user has just been warned: the command
// stops there. Only the first command of the run looks.
bool WarnOfRunningHostOnce(HWND owner);

enum class InstallCheck {
    Passed,
    Refused,    // a box said why; nothing changed
    NoPackage,  // nothing beside the program to install (the user has been told)
};

// Checks the folder text the user gave and the package (from `source`) for
// the ticked releases before anything is created. Once the text is absolute it becomes
// the installation folder, "<chosen>\T-ZozerIded", and `request` is filled.
// A chosen folder that users other than administrators may change, or one
// above it, is named in a warning (and the log); the user may go on.
InstallCheck CheckInstallCommand(HWND owner, CString& folderText, const ReleaseSelection& releases,
                                 PackageSource source, InstallRequest* request, RunLog& log);
