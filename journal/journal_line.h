// The lines of an installation's journal file (journal/install_journal.h),
// in the record's line form (record/record_fields.h). Platform-free.
#pragma once

#include <string>
#include <vector>

#include "framework/afx_string.h"

// One line, written and flushed before the change it names is made. Without
// a commit line, the next run undoes them when the run that wrote them was
// killed. Finish lines are work the complete installation still owes the
// machine: written just ahead of the commit line (whose flush makes them
// durable with it), they count only once it is there, and are carried out
// by the run itself and, when it was killed first, by the next
// (journal/journal_work.h).
struct JournalLine {
    enum class Kind {
        Folder,   // created
        New,      // a file about to be written where there was none
        Replace,  // a file about to be renamed aside, then written anew
        Keep,     // the same, the earlier file kept in the installation folder
        Key,      // a key below HKEY_CURRENT_USER about to be created
        Commit,   // the installation is complete: finish it, never undo it
        // the plug-in's own deletion of the path at the next restart, about to
        // be taken out of the restart's queue (undone: queued again)
        QueuedDeletion,
        // Finish lines, done once the commit line is there.
        RemoveFile,    // goes while it is still the file recorded (its size and SHA-256)
        RemoveFolder,  // goes when it is empty
        RemoveKey,     // a key below HKEY_CURRENT_USER goes (one with subkeys stays)
        PutBack,       // a host's own file kept aside goes back to its place (path)
    };
    Kind kind;
    CString path;
    CString aside;  // Replace, Keep and PutBack: where the earlier file is
    // RemoveFile: the size recorded; PutBack: that of the plug-in's file in
    // the host file's place.
    unsigned long long size = 0;
    // The SHA-256 beside the size; empty in a RemoveFile line of a build that
    // kept none (such a file is never proven the plug-in's, and stays).
    CString sha256 = CString();
};

std::string FormatJournalLine(const JournalLine& line);
// The lines of a journal file in order. A last line without its line end
// was torn by the crash and its change never started: it is dropped, as
// are lines of unknown kinds. False when a complete line is damaged.
bool ParseJournal(const char* text, std::vector<JournalLine>* lines);
