// An installation for a deployment tool: /VERYSILENT (no window) or /SILENT
// (the dialog shows progress only). Nothing is asked; every box is logged
// and answered (lifecycle/silent_boxes.h); the exit code tells the outcome.
#pragma once

#include "setup/command_line.h"

class HostInstallRegistry;
class RunLog;

int RunUnattendedInstall(const CommandLine& commandLine, HostInstallRegistry& registry,
                         RunLog& log);
