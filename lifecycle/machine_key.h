// The plug-in's own machine-wide key below HKEY_LOCAL_MACHINE, which only
// administrators and the system may change: the second copy of the install
// record, and the mark of an installation under way.
#pragma once

#include "framework/afx_string.h"

// Below HKEY_LOCAL_MACHINE.
extern const char kMachineKey[];
// Values of the key.
extern const char kRecordCopyValue[];
extern const char kInstallationUnderWayValue[];

// The value's data as text; false when there is none or it is no text of
// a sensible size.
bool ReadMachineValue(const char* name, CString* text);
bool WriteMachineValue(const char* name, const CString& text);
void DeleteMachineValue(const char* name);
// The key goes when it holds nothing more.
void DeleteMachineKeyWhenEmpty();
