// The lines of an installation's journal file (journal/install_journal.h),
// in the record's line form (record/record_fields.h). What each kind of line
// holds, and what it asks of the machine, is in journal/line_kinds.h.
// Platform-free.
#pragma once

#include <string>
#include <vector>

#include "entries/saved_entry.h"
#include "framework/afx_string.h"

// A line that holds no attributes (a line of the build before them): the
// file's attributes are left as they come back. INVALID_FILE_ATTRIBUTES.
constexpr unsigned long kNoAttributes = 0xFFFFFFFFul;

// One line, written before the change it names is made. Without a commit
// line, the next run undoes them when the run that wrote them was killed.
// Finish lines are work the complete installation still owes the machine:
// written just ahead of the commit line (whose flush makes them durable
// with it), they count only once it is there, and are carried out by the
// run itself and, when it was killed first, by the next.
struct JournalLine {
    // In the order of the table of kinds (journal/line_kinds.h).
    enum class Kind {
        Folder,
        New,
        Replace,
        Keep,
        Key,
        Commit,
        QueuedDeletion,
        // Machine entries about to change, with their values before.
        RecordCopy,
        UninstallEntry,
        ActiveSetupEntry,
        ActiveSetupStamp,
        // Finish lines, done once the commit line is there.
        RemoveFile,
        RemoveFolder,
        RemoveKey,
        PutBack,
    };
    Kind kind;
    CString path;
    CString aside = CString();  // Replace, Keep and PutBack: where the earlier file is
    // RemoveFile: the size recorded; PutBack: that of the plug-in's file in
    // the host file's place.
    unsigned long long size = 0;
    // The SHA-256 beside the size; empty in a RemoveFile line of a build that
    // kept none (such a file is never proven the plug-in's, and stays).
    CString sha256 = CString();
    // Replace and Keep: the earlier file's attributes, which come back with it.
    unsigned long attributes = kNoAttributes;
    // A machine entry's line: its values before the change (the path names
    // the entry, for the log).
    SavedEntry saved = SavedEntry();
};

std::string FormatJournalLine(const JournalLine& line);
// The lines of a journal file in order. A last line without its line end
// was torn by the crash and its change never started: it is dropped, as
// are lines of unknown kinds. False when a complete line is damaged.
bool ParseJournal(const char* text, std::vector<JournalLine>* lines);
// The installation was complete: its lines are finished, never undone.
bool IsCommitted(const std::vector<JournalLine>& lines);
