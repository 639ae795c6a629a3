// The plug-in's own key, "SOFTWARE\Torvex\T-ZozerIded", under either root.
// Under HKEY_LOCAL_MACHINE, which only administrators and the system may
// change: the second copy of the install record and the marks of an
// installation or an uninstall under way. Under a user's HKEY_CURRENT_USER:
// the record of what the per-user stage did for that user.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"

// Below either root.
extern const char kPluginKey[];
// Values of the key below HKEY_LOCAL_MACHINE.
extern const char kRecordCopyValue[];
extern const char kInstallationUnderWayValue[];
// Beside the mark: the earlier installation folder the marked one's journal
// clears after its commit (a move).
extern const char kEarlierFolderValue[];
// An uninstall under way: the installation folder it removes, until its
// record is gone (uninstall/uninstaller.h).
extern const char kUninstallUnderWayValue[];
// Where an earlier version remembered the deletions the plug-in queued for
// the next restart: the memory is in a volatile key of its own now
// (removal/restart_queue.h), which takes this over at the next run.
extern const char kQueuedDeletionsValue[];
// The value below HKEY_CURRENT_USER.
extern const char kUserRecordValue[];

// The value's data as text; false when there is none or it is no text of
// a sensible size.
bool ReadPluginValue(HKEY root, const char* name, CString* text);
bool WritePluginValue(HKEY root, const char* name, const CString& text);
// None of them passes through a link (the key may be a user's).
void DeletePluginValue(HKEY root, const char* name);
// The key goes when it holds nothing more, and the vendor's key above it too.
void DeletePluginKeyWhenEmpty(HKEY root);
