// The recovery of an installation that was killed half way. A durable
// journal (lifecycle/install_journal.h) leaves its file in the installation
// folder and a machine-wide mark naming that folder until it is committed
// or rolled back; the next run of the setup or the uninstaller finds the
// mark and finishes the installation (after its commit line) or undoes it.
#pragma once

#include "framework/afx_string.h"

class RunLog;
class ServedPlaces;

// The installation folder the machine-wide mark names, or empty.
CString InterruptedInstallationFolder();

// Finishes or undoes the installation the mark names: only within `places`,
// each line of its journal file being input like any other, and never
// through a link. Logs what it did; true when there was one.
bool RecoverInterruptedInstallation(const ServedPlaces& places, RunLog& log);
