// SetUp.exe is its own uninstaller. An installation leaves a copy of it
// named "Uninstall.exe" in the installation folder; Programs and Features
// (or a deployment tool) runs that copy, and a program of that name runs as
// the uninstaller instead of the setup.
//
// A running program cannot delete its own file, and the installation folder
// can only go once nothing of the uninstaller holds it. So the uninstaller
// runs in two processes. The first copies itself into a new temporary
// folder that only administrators and the system may change, holds the
// copy so that nobody can change or replace it, starts exactly that file
// for the installation folder (/SECONDPHASE) and waits for it: whoever
// started the uninstaller sees it end when the uninstall has ended, with
// its exit code. The second asks (unless silent), removes the installation
// (moving the first one's file out of the folder) and has itself and its
// folder deleted at the next restart. A repair or a modify (/REPAIR,
// /MODIFY, setup/maintenance.h) runs in the second process the same way:
// an installation may then write the uninstaller anew. Killed half way, the uninstall is
// finished by the same command or by the next run of the setup.
#pragma once

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"
#include "run/run_contract.h"

class FoundHosts;
class RunLog;

struct UninstallRun {
    RunMode mode = RunMode::Interactive;
    // The installation folder, for the second process; empty in the first.
    CString secondPhaseFolder;
    // The first process's: the task the second runs instead of the
    // uninstall (" /REPAIR", " /MODIFY ..."); empty for the uninstall.
    CString taskArguments;
};

// The copy the first process starts: in a new temporary folder that only
// administrators and the system may change, held open without write or
// delete sharing until it runs.
struct HeldCopy {
    CString folder;
    CString path;
    afx::ScopedKernelHandle held;
    const char* failedStep = nullptr;  // what could not be done, when Make failed
    DWORD error = 0;
};
bool MakeHeldCopy(const CString& program, HeldCopy* copy);

// The exit code of the uninstall (run/run_contract.h); in the first
// process, that of the second, whatever its task.
int RunUninstaller(const UninstallRun& run, const FoundHosts& hosts, RunLog& log);

// The second process's file, when it is the temporary copy the first made,
// goes with its folder at the next restart.
void RemoveTemporaryCopyAtRestart();

// An uninstall killed half way (its mark under HKEY_LOCAL_MACHINE) done to
// its end from the record it left, silently, unless this run is the
// uninstaller for that folder (`runningFor`), which does it itself.
void FinishInterruptedUninstall(const CString& runningFor, const FoundHosts& hosts, RunLog& log);

// True when the running program is named as the uninstaller.
bool IsNamedAsUninstaller();
