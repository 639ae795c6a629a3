// An installation for a deployment tool: /VERYSILENT (no window) or /SILENT
// (the dialog shows progress only). Nothing is asked; every box is logged
// and answered (run/silent_boxes.h); the exit code tells the outcome.
#pragma once

#include "install/install_checks.h"
#include "install/machine_at_start.h"
#include "setup/command_line.h"

class RunLog;

// SetUp.exe's: into /DIR (else the earlier installation's folder, else the
// default one), from the package beside it.
int RunUnattendedInstall(const CommandLine& commandLine, const MachineAtStart& machine,
                         RunLog& log);

// The releases a run serves (setup/release_choice.h): those the command
// line names, else `preset`, out of those offered; logged.
ReleaseSelection ChooseAndLogReleases(const CommandLine& commandLine, const FoundHosts& hosts,
                                      const ReleaseSelection& preset, RunLog& log);

// The checks before an installation, in the log (a refusal is the run's
// exit code), then the installation chosen, in `mode`'s windows.
int InstallUnattended(const InstallChoice& choice, RunMode mode, const MachineAtStart& machine,
                      RunLog& log);
