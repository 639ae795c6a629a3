// Every kind of journal line, one unit each: how its line is written and
// read (its tag and fields, and whether it must be on the disk before its
// change), how its change is done where the journal makes it, how it is
// undone (the run rolled back, or killed before its commit) and how it is
// finished (after the commit). The live run, its rollback and commit and
// the recovery after a kill all go through these units
// (journal/journal_work.h), on a line read back or a line the run keeps:
// one and the same. A new kind is a new unit and a row in LineKinds.
//
// The forms are platform-free; the work is Win32 (line_kinds_win32.cpp).
// Every undo and finish treats its line as input: it acts only within the
// served places, on the normal form of the path it checked, never through
// a link, and logs what it did.
#pragma once

#include <array>
#include <cstddef>

#include "journal/journal_line.h"

class RestartQueue;
class RunLog;
class ServedPlaces;
enum class NewFolderAccess;

// What a line holds after its tag.
enum class LineFields {
    None,
    Path,
    PathAsideAttributes,  // the attributes last, absent from a line of an earlier build
    PathSizeSha256,       // the SHA-256 last, absent from a line of an earlier build
    PathAsideSizeSha256,
    PathSavedEntry,  // the entry's name, then its values before the change (SavedEntry)
};

struct LineForm {
    JournalLine::Kind kind;
    const char* tag;
    LineFields fields;
    // Flushed before its change, which moves or takes out something whose
    // way back a power cut must not lose. A line that overwrites nothing
    // reaches the disk with the next flush; finish lines with the commit
    // line after them.
    bool flushFirst;
    // Undone once the journal file, which may lie in what it names, is gone.
    bool undoneLast;
};

// What a line asks of the machine, undone or finished. A finish says
// whether its work is done, waits for the next restart, or could not be
// done (logged; the run says so, and the next one tries again).
using UndoWork = void (*)(const JournalLine& line, const ServedPlaces& places, RunLog& log);
enum class LineDone { Done, AtNextRestart, NotDone };
using FinishWork = LineDone (*)(const JournalLine& line, const ServedPlaces& places, RunLog& log);
inline void NothingToUndo(const JournalLine&, const ServedPlaces&, RunLog&) {}
inline LineDone NothingToFinish(const JournalLine&, const ServedPlaces&, RunLog&) {
    return LineDone::Done;
}

// A folder the run made: its line follows the folder, since one that was
// there already is not the run's to remove. Undone: goes when empty.
struct FolderLine {
    static constexpr LineForm kForm{JournalLine::Kind::Folder, "folder", LineFields::Path, false,
                                    true};
    // True when this call made the folder (GetLastError() set otherwise).
    static bool Do(const JournalLine& line, NewFolderAccess access);
    static void Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log);
    static constexpr FinishWork Finish = NothingToFinish;
};

// A file about to be written where there was none (by the journal's copy).
// Undone: it goes.
struct NewFileLine {
    static constexpr LineForm kForm{JournalLine::Kind::New, "new", LineFields::Path, false, false};
    static void Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log);
    static constexpr FinishWork Finish = NothingToFinish;
};

// What a file the run wrote is renamed to when it cannot be replaced by the
// earlier one on undo (it runs): it goes at the next restart.
constexpr char kUndoneExtension[] = ".setup-undone";

// A file about to be renamed aside (beside itself), then written anew.
// Undone: the earlier file comes back with its attributes (the run's file
// renamed out of the way when it runs). Finished: the earlier file goes (at
// the next restart while it is in use).
struct ReplaceLine {
    static constexpr LineForm kForm{JournalLine::Kind::Replace, "replace",
                                    LineFields::PathAsideAttributes, true, false};
    // Renames the file aside; false, with GetLastError() set, when it stays
    // where it was, as it was.
    static bool Do(const JournalLine& line);
    // The file set aside back in its place, without the places' checks: the
    // run that set it aside just now puts it back.
    static bool PutBackAside(const JournalLine& line);
    static void Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log);
    static LineDone Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log);
};

// The same, the earlier file (a host's own) kept in the installation folder
// for good: nothing to finish.
struct KeepLine : ReplaceLine {
    static constexpr LineForm kForm{JournalLine::Kind::Keep, "keep",
                                    LineFields::PathAsideAttributes, true, false};
    static constexpr FinishWork Finish = NothingToFinish;
};

// A key below HKEY_CURRENT_USER about to be created (by the registration).
// Undone: it goes, below a served "Applications" key only.
struct KeyLine {
    static constexpr LineForm kForm{JournalLine::Kind::Key, "key", LineFields::Path, false, false};
    static void Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log);
    static constexpr FinishWork Finish = NothingToFinish;
};

// The installation is complete: its lines are finished, never undone.
struct CommitLine {
    static constexpr LineForm kForm{JournalLine::Kind::Commit, "commit", LineFields::None, true,
                                    false};
    static constexpr UndoWork Undo = NothingToUndo;
    static constexpr FinishWork Finish = NothingToFinish;
};

// The plug-in's own deletion of the path at the next restart, about to be
// taken out of the restart's queue (the file is written anew). Undone: it
// is queued again.
struct QueuedDeletionLine {
    static constexpr LineForm kForm{JournalLine::Kind::QueuedDeletion, "queued-deletion",
                                    LineFields::Path, true, false};
    // False, with GetLastError() set, when the queue could not be rewritten.
    static bool Do(const JournalLine& line, RestartQueue& queue);
    static void Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log);
    static constexpr FinishWork Finish = NothingToFinish;
};

// Machine entries a run changes before its commit. Each line holds the
// entry's values as they were, written and flushed before the change.
// Undone (newest first, so the earliest line's values are the last word):
// exactly those values come back, or the entry goes when there was none.
// The entry is the kind's own, never one a line names.
struct SavedEntryLine {
    // Saves the entry of the line's kind into it, as it is now; false, with
    // GetLastError() set, when it cannot be read whole.
    static bool Save(JournalLine* line);
    static void Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log);
    static constexpr FinishWork Finish = NothingToFinish;
};

// The record's copy under HKEY_LOCAL_MACHINE (its one value).
struct RecordCopyLine : SavedEntryLine {
    static constexpr LineForm kForm{JournalLine::Kind::RecordCopy, "record-copy",
                                    LineFields::PathSavedEntry, true, false};
};

// The Programs and Features entry (every value).
struct UninstallEntryLine : SavedEntryLine {
    static constexpr LineForm kForm{JournalLine::Kind::UninstallEntry, "uninstall-entry",
                                    LineFields::PathSavedEntry, true, false};
};

// The Active Setup entry (every value).
struct ActiveSetupEntryLine : SavedEntryLine {
    static constexpr LineForm kForm{JournalLine::Kind::ActiveSetupEntry, "active-setup-entry",
                                    LineFields::PathSavedEntry, true, false};
};

// The running account's stamp of it, in its hive (every value).
struct ActiveSetupStampLine : SavedEntryLine {
    static constexpr LineForm kForm{JournalLine::Kind::ActiveSetupStamp, "active-setup-stamp",
                                    LineFields::PathSavedEntry, true, false};
};

// Finish lines.

// A file goes while it is still the one recorded (its size and SHA-256).
struct RemoveFileLine {
    static constexpr LineForm kForm{JournalLine::Kind::RemoveFile, "remove-file",
                                    LineFields::PathSizeSha256, false, false};
    static constexpr UndoWork Undo = NothingToUndo;
    static LineDone Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log);
};

// A folder goes when it is empty.
struct RemoveFolderLine {
    static constexpr LineForm kForm{JournalLine::Kind::RemoveFolder, "remove-folder",
                                    LineFields::Path, false, false};
    static constexpr UndoWork Undo = NothingToUndo;
    static LineDone Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log);
};

// A key below a served "Applications" key goes (one with subkeys stays).
struct RemoveKeyLine {
    static constexpr LineForm kForm{JournalLine::Kind::RemoveKey, "remove-key", LineFields::Path,
                                    false, false};
    static constexpr UndoWork Undo = NothingToUndo;
    static LineDone Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log);
};

// A host's own file kept aside goes back to its place (the path), judged by
// the size and SHA-256 of the plug-in's file there.
struct PutBackLine {
    static constexpr LineForm kForm{JournalLine::Kind::PutBack, "put-back",
                                    LineFields::PathAsideSizeSha256, false, false};
    static constexpr UndoWork Undo = NothingToUndo;
    static LineDone Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log);
};

template <typename... Kinds>
struct LineKindList {
    static constexpr std::size_t kCount = sizeof...(Kinds);
};

// The one table of the journal's kinds, in the order of JournalLine::Kind.
using LineKinds = LineKindList<FolderLine, NewFileLine, ReplaceLine, KeepLine, KeyLine, CommitLine,
                               QueuedDeletionLine, RecordCopyLine, UninstallEntryLine,
                               ActiveSetupEntryLine, ActiveSetupStampLine, RemoveFileLine,
                               RemoveFolderLine, RemoveKeyLine, PutBackLine>;

template <typename... Kinds>
constexpr std::array<LineForm, sizeof...(Kinds)> FormsOf(LineKindList<Kinds...>) {
    return {{Kinds::kForm...}};
}

// The form of a kind of line.
const LineForm& FormOf(JournalLine::Kind kind);
