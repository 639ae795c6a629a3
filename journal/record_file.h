// The record of a complete installation, written through its journal.
#pragma once

#include <vector>

#include "journal/journal_line.h"
#include "record/install_record.h"

class InstallJournal;
class RunLog;
class ServedPlaces;

// Writes the record into its folder through the journal (an undone
// installation puts the earlier record back), reads it back, then writes
// and reads back the machine's copy (its earlier value written ahead too). False when either is not
// complete and equal to what was meant: no entry may then name the installation.
bool WriteInstallRecord(const InstallRecord& record, InstallJournal& journal, RunLog& log);

// Finish lines that could not be done, not even at the next restart (a file
// in use whose deletion the restart's queue would not take): their files, and
// the host files kept for them, go back into the record of `installFolder`
// (both stores, through a journal of its own), so that the next run or the
// uninstaller tries again. Lines of an earlier folder a move clears are not
// this installation's to record. False when the record could not be rewritten.
bool KeepUnfinishedRecorded(const CString& installFolder, const std::vector<JournalLine>& notDone,
                            const ServedPlaces& places, RunLog& log);
