// Uninstall.exe /VERIFY, for a deployment tool's detection (an Intune
// remediation's, a Configuration Manager configuration item's): whether the
// installation in the program's own folder is whole, checked against its
// record (the machine's copy believed first, as the uninstaller reads it)
// and, for a sealed program, its package manifest. It changes nothing: no
// journal, no mark, no recovery of a killed run, no temporary copy; it runs
// in the uninstaller's first process, holding the machine's one run.
#pragma once

#include "framework/afx_string.h"

class FoundHosts;
class RunLog;

// Checks the installation in `installFolder`, logging each item with its
// verdict (verify/verdicts.h): a run killed half way, the record's machine
// copy and file, the plug-in's files, the kept package, the modules and
// fonts in each served host folder discovery finds (`hosts`), the Programs
// and Features and Active Setup entries, and the "Applications" entries of
// the account that runs it. Returns 0 when nothing is damage,
// exit_code::kNotWhole when something is, and exit_code::kFailed when there
// is no installation there to verify.
int VerifyInstallation(const CString& installFolder, const FoundHosts& hosts, RunLog& log);
