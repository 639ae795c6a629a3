// The record of a complete installation, written through its journal.
#pragma once

#include "record/install_record.h"

class InstallJournal;
class RunLog;

// Writes the record into its folder through the journal (an undone
// installation puts the earlier record back), reads it back, then writes
// and reads back the machine's copy. False when either is not complete and
// equal to what was meant: no entry may then name the installation.
bool WriteInstallRecord(const InstallRecord& record, InstallJournal& journal, RunLog& log);
