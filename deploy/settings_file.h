// The plug-in's settings file in a user's application-data folder: where it
// goes, and the rule that keeps a user's own settings: differing settings
// are kept beside the new ones, never lost.
#pragma once

#include "framework/afx_string.h"

class InstallJournal;

// The user's own settings kept as "<file>.<yyyymmdd-hhmmss>[-n].bak".
constexpr char kSettingsBackupExtension[] = ".bak";

// A copy of the user's settings under a name no earlier backup holds,
// written through the journal.
bool BackUpSettings(const CString& settings, InstallJournal& journal);

// Readies the running user's settings folder for the settings file `source`
// named `name`: "<application data>\Torvex" made through the journal, never
// a link, and the user's own settings there kept beside when they differ
// from `source`. `destination` is where the file goes; false when it cannot
// go there (`destination` then names the file, or only `name` when the user
// has no settings folder at all).
bool PrepareUserSettings(const CString& source, const char* name, InstallJournal& journal,
                         CString* destination);
