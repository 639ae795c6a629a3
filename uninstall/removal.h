// Removing an installation: exactly what its record lists as the
// installation's own, within the places it served on this machine now, and
// never through a link; each item the one way the journal's finish lines
// remove it too (removal/removal_steps.h).
#pragma once

#include "framework/afx_string.h"
#include "record/install_record.h"
#include "record/served_places.h"
#include "uninstall/uninstall_outcome.h"

class RunLog;

// Removes the record's new files while each is still what was installed
// (record/file_ownership.h), puts back the host files it kept, removes
// its registry entries below each served host's "Applications" key (the
// deepest first); then, unless a file neither went nor could be queued for
// the restart (the rest stops there, recorded, for the next run), the
// Programs and Features entry when it names this installation (while it
// cannot be removed, nothing it names goes: the rest stops there too), the
// record file and the journal, the uninstaller
// (`runningUninstaller`, when it is the program that started this run, is
// moved into `ownFolder` instead), the folders it created when they are
// empty, and last the record's machine copy. Files that were there before
// the installation, and the user's settings, stay. A run killed half way
// and done again ends the same.
void RemoveInstallation(const InstallRecord& record, const ServedPlaces& places,
                        const CString& runningUninstaller, const CString& ownFolder,
                        UninstallOutcome& outcome, RunLog& log);

// Whose record it is: the installation's, kept where only administrators
// may change it, or a user's own (the per-user stage's, in that user's
// hive), which the user may have written.
enum class RecordKind { Installation, User };

// The record's entries below HKEY_CURRENT_USER (whichever hive that stands
// for now, shown as `root`), the deepest first: only those the installation
// created below a served host's "Applications" key, never through a link.
// Of a user's record, the final box and the log name only the plug-in's own
// entries, and count the rest without quoting them.
void RemoveRecordedKeys(const InstallRecord& record, const ServedPlaces& places, const char* root,
                        RecordKind kind, UninstallOutcome& outcome, RunLog& log);
