// Removing an installation: exactly what its record lists as the
// installation's own, within the places it served on this machine now, and
// never through a link.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "lifecycle/install_record.h"
#include "lifecycle/served_places.h"

class RunLog;

struct UninstallOutcome {
    int removedFiles = 0;
    int removedKeys = 0;
    int removedFolders = 0;
    int restoredFiles = 0;  // a host's own files put back
    int notRemoved = 0;     // items that could not be removed, not even at the next restart
    // What stays although the installation made it: files changed since
    // (another size or SHA-256: the host's own now) or whose record holds
    // no SHA-256, items that could not be removed, and items the record
    // names outside the installation's places.
    std::vector<afx::UiText> left;
    // Host folders the record names that this machine no longer has: what
    // the installation put there stays.
    std::vector<CString> hostsNotFound;
    // In use now: deleted at the next restart.
    std::vector<CString> scheduled;
    // User profiles whose hive could not be reached: what the per-user stage
    // did there stays.
    std::vector<CString> profilesNotCleared;

    bool NeedsRestart() const { return !scheduled.empty(); }
};

// Removes the record's new files while each is still what was installed
// (lifecycle/file_ownership.h), puts back the host files it kept, removes its registry entries
// below each served host's "Applications" key (the deepest first), the record itself and the
// journal, the uninstaller (`runningUninstaller`, when it is the program that started this run, is
// moved into `ownFolder` instead), then the folders it created when they are empty, and the
// Programs and Features entry when it names this installation. Files that were there before the
// installation, and the user's settings, stay.
UninstallOutcome RemoveInstallation(const InstallRecord& record, const ServedPlaces& places,
                                    const CString& runningUninstaller, const CString& ownFolder,
                                    RunLog& log);

// Only what lies in the installation folder itself, for an installation
// that moved elsewhere: what it did for the hosts now belongs to the new one.
// Its kept host files go only when the record lists them as files (put
// there once they were copied into the new installation's folder).
void RemoveInstallationFolderOnly(const InstallRecord& record, RunLog& log);

// The record's entries below HKEY_CURRENT_USER (whichever hive that stands
// for now, shown as `root`), the deepest first: only those the installation
// created below a served host's "Applications" key, never through a link.
void RemoveRecordedKeys(const InstallRecord& record, const ServedPlaces& places, const char* root,
                        UninstallOutcome& outcome, RunLog& log);
