// The recovery of a run that was killed half way. A durable journal
// (journal/install_journal.h) leaves its file in the installation folder
// and a machine-wide mark naming that folder until it is committed and
// finished, or rolled back; the next run of the setup or the uninstaller
// finds the mark and undoes the installation, or (after its commit line)
// finishes it (journal/journal_work.h).
#pragma once

#include "framework/afx_string.h"

class RunLog;
class ServedPlaces;

// The installation folder the machine-wide mark names, or empty.
CString InterruptedInstallationFolder();

// Finishes or undoes the installation the mark names: only within `places`
// (and the earlier installation folder the mark names beside it, which a
// move clears after its commit), each line of its journal file being input
// like any other, and never through a link. Logs what it did; true when
// there was one.
bool RecoverInterruptedInstallation(const ServedPlaces& places, RunLog& log);

// The Programs and Features entry when the uninstaller it names is gone,
// and the Active Setup entry when the stage it starts is gone: no entry
// names a program that is no longer there, whatever a killed run left.
void DropEntriesOfMissingPrograms(RunLog& log);
