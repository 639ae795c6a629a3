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

#include "install/machine_at_start.h"
#include "setup/command_line.h"

class RunLog;

// Only the installation Programs and Features names, with a record, of this
// program's version, is repaired or modified; any other is refused (1603),
// nothing changed: an uninstaller of a run undone before its commit is not
// the installation's any more (its own is back in its place). The
// checks before an installation come first (install/install_checks.h). A
// repair at the screen shows them in boxes: a running host is told and ends
// it (1618); a folder users other than administrators may change is asked
// about as in the dialog, and No ends it (1602). Then it shows only its
// progress and a final box; in the silent modes nothing (or the progress
// with /SILENT). An interactive modify shows the setup dialog with the
// installation's folder fixed and its releases ticked. The exit codes are
// the checks' and the installation's.
int RunRepairOrModify(const CommandLine& commandLine, const MachineAtStart& machine, RunLog& log);
