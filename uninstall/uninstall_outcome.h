// What an uninstall did and left, as its final box and exit code
// (uninstall/uninstall_summary.h) tell it: counts of what went, and each
// item that stays with why, in the box's words.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

class RunLog;

struct UninstallOutcome {
    int removedFiles = 0;
    int removedKeys = 0;
    int removedFolders = 0;
    int restoredFiles = 0;  // a host's own files put back
    int notRemoved = 0;     // items that could not be removed, not even at the next restart
    // Of them, recorded files (or host files kept for them that could not go
    // back): the record stays, so that the next run tries them again.
    int filesToTryAgain = 0;
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
    // Items users' records name that are not the plug-in's own entries, left
    // (never quoted: a user wrote them).
    int usersItemsLeft = 0;

    bool NeedsRestart() const { return !scheduled.empty(); }
};

// Why an item the installation made stays.
enum class WhyLeft { Changed, Unproven, NotRemoved, Outside, NotRestored };

// Notes an item that stays, for the final box and the log.
void NoteLeftItem(UninstallOutcome& outcome, WhyLeft why, const CString& what, RunLog& log);

// An item the installation made that could not be removed, for the final
// box and the exit code (its caller has logged the failure).
void NoteNotRemoved(UninstallOutcome& outcome, const CString& what);
