// Where an installation's record is kept, and how it is read back: the file
// in the installation folder and a second copy in the machine-wide key that
// only administrators may change (and the per-user stage's record in the
// user's hive). Every byte of each is input, checked
// before it is believed.
#pragma once

#include "framework/afx_string.h"
#include "record/install_record.h"

// A record larger than this is not one the setup wrote.
constexpr unsigned long kMaxRecordBytes = 4 * 1024 * 1024;

enum class RecordSource { None, File, MachineCopy };

// Reads the record of the installation folder: the file, or the machine's
// copy when the file is missing or damaged. None when neither is whole or
// describes this folder (a record copied elsewhere).
RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record);

// Only the machine's copy, which only administrators can have written
// whoever may change the installation folder; false when there is none
// for this folder.
bool ReadInstallRecordMachineCopy(const CString& installFolder, InstallRecord* record);

// The version of the installation Programs and Features names, as the
// machine's copy of its record says (only administrators write either; the
// file in its folder is not asked, which an earlier version may have left
// changeable by users): yyyymmdd, 0 when there is none or it names none.
int InstalledVersion();

// The file (when it describes this folder) and the machine's copy.
void DeleteInstallRecord(const CString& installFolder);

// What the per-user stage did for the user, in the user's own hive (below
// HKEY_CURRENT_USER, whichever hive that stands for now); false when there
// is no whole record.
bool ReadUserRecord(InstallRecord* record);
bool WriteUserRecord(const InstallRecord& record);
