// An installation for a deployment tool: /VERYSILENT (no window) or /SILENT
// (the dialog shows progress only). Nothing is asked; every box is logged
// and answered (run/silent_boxes.h); the exit code tells the outcome.
#pragma once

#include "install/installation.h"
#include "setup/command_line.h"

class FoundHosts;
class RunLog;

// SetUp.exe's: into /DIR (else the earlier installation's folder, else the
// default one), from the package beside it.
int RunUnattendedInstall(const CommandLine& commandLine, FoundHosts& registry, RunLog& log);

// The releases a run serves (setup/release_choice.h): those the command
// line names, else `preset`, out of those offered; logged.
ReleaseSelection ChooseAndLogReleases(const CommandLine& commandLine, const FoundHosts& registry,
                                      const ReleaseSelection& preset, RunLog& log);

// The checks of an unattended run, without a box (a refusal is logged),
// then the installation the request asks for, in `mode`'s windows.
int InstallUnattended(InstallRequest request, RunMode mode, FoundHosts& registry, RunLog& log);
