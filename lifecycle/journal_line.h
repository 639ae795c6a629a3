// The lines of an installation's journal file (lifecycle/install_journal.h),
// in the record's line form (lifecycle/record_fields.h). Platform-free.
#pragma once

#include <string>
#include <vector>

#include "framework/afx_string.h"

// One line, written and flushed before the change it names is made, so that
// a run killed half way can be undone.
struct JournalLine {
    enum class Kind {
        Folder,   // created
        New,      // a file about to be written where there was none
        Replace,  // a file about to be renamed aside, then written anew
        Keep,     // the same, the earlier file kept in the installation folder
        Key,      // a key below HKEY_CURRENT_USER about to be created
        Commit,   // the installation is complete: finish it, never undo it
        // the uninstaller's deletion of the path at the next restart, about to
        // be taken out of the restart's queue (undone: queued again)
        QueuedDeletion,
    };
    Kind kind;
    CString path;
    CString aside;  // Replace and Keep: where the earlier file went
};

std::string FormatJournalLine(const JournalLine& line);
// The lines of a journal file in order. A last line without its line end
// was torn by the crash and its change never started: it is dropped, as
// are lines of unknown kinds. False when a complete line is damaged.
bool ParseJournal(const char* text, std::vector<JournalLine>* lines);
