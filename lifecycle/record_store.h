// Where an installation's record is kept, and how it is read back: the file
// in the installation folder and a second copy in the machine-wide key that
// only administrators may change. Every byte of either is input, checked
// before it is believed.
#pragma once

#include "framework/afx_string.h"
#include "lifecycle/install_record.h"

class InstallJournal;
class RunLog;

enum class RecordSource { None, File, MachineCopy };

// Reads the record of the installation folder: the file, or the machine's
// copy when the file is missing or damaged. None when neither is whole or
// describes this folder (a record copied elsewhere).
RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record);

// Only the machine's copy, which only administrators can have written
// whoever may change the installation folder; false when there is none
// for this folder.
bool ReadInstallRecordMachineCopy(const CString& installFolder, InstallRecord* record);

// Writes the record into its folder through the journal (an undone
// installation puts the earlier record back), reads it back, then writes
// and reads back the machine's copy. False when either is not complete and
// equal to what was meant: no entry may then name the installation.
bool WriteInstallRecord(const InstallRecord& record, InstallJournal& journal, RunLog& log);

// The version of the installation Programs and Features names, as the
// machine's copy of its record says (only administrators write either; the
// file in its folder is not asked, which an earlier version may have left
// changeable by users): yyyymmdd, 0 when there is none or it names none.
int InstalledVersion();

// The file (when it describes this folder) and the machine's copy.
void DeleteInstallRecord(const CString& installFolder);
