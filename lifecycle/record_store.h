// Where an installation's record is kept, and how it is read back: every
// byte of it is input, checked before it is believed.
#pragma once

#include "framework/afx_string.h"
#include "lifecycle/install_record.h"

// Reads the record in the installation folder; false when there is none,
// it is damaged, or it describes another folder (a record copied elsewhere).
bool ReadInstallRecord(const CString& installFolder, InstallRecord* record);
// Writes the record into its installation folder in one step: a crash
// leaves the old record or the new one, never half of one.
bool WriteInstallRecord(const InstallRecord& record);
