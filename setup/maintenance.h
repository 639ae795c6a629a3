// Uninstall.exe /REPAIR and /MODIFY, for Programs and Features' Change and
// for IT: the installation in its own folder, from the package it keeps
// there (the package it came from may be long gone), for the releases it
// serves (a repair) or those chosen (a modify). Either is an installation
// like any other (install/installation.h), through its journal: what is
// missing or changed is put back, a release ticked anew is served, and what
// the earlier installation did that this one does not do again goes after
// the commit. It runs in the uninstaller's second process, its temporary
// copy, so that the installation may write the uninstaller anew.
#pragma once

#include "setup/command_line.h"

class FoundHosts;
class RunLog;

// A repair shows only its progress and a final box (nothing in the silent
// modes, or the progress with /SILENT); an interactive modify shows the
// setup dialog with the installation's folder fixed and its releases ticked.
// The exit codes are the installation's.
int RunRepairOrModify(const CommandLine& commandLine, FoundHosts& registry, RunLog& log);
