// The work Windows does at the next restart (MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT queues it in PendingFileRenameOperations,
// path by path) meets what an installation writes now: a deletion queued
// by an uninstall whose module was in use would delete the new file at the
// restart, and a rename would replace or move it, or the folder it lies in.
// The queue names a path by any of its names ("\??\" forms, short names,
// another case): every name is taken for the place it names
// (system/file_identity.h).
//
// The plug-in's own entries are the deletions it queued itself (its
// uninstaller, or the work after an installation's commit), all through
// QueueDeletionAtRestart, which remembers each until the restart in a
// volatile key of its own (which only administrators may change, and which
// Windows drops at the restart that carries the deletions out); one counts
// as its own only while that deletion of that place is still queued. An
// installation takes its own out, file by file, through the journal (a
// rollback or the recovery of a killed run queues it again); anything else
// queued on what it would write means a restart must come first, and is
// checked once, before the installation changes anything.
#pragma once

#include <string>
#include <vector>

#include "framework/afx_string.h"

// The memory of the plug-in's own queued deletions, below
// HKEY_LOCAL_MACHINE: volatile, so not below the plug-in's own key (a
// volatile key may hold only volatile keys, and that one keeps the
// record's copy).
extern const char kRestartMemoryKey[];

// What a run will write, as the queue is checked against it: folders it
// writes anything into (at any depth), and single files.
struct WrittenPlaces {
    std::vector<CString> folders;
    std::vector<CString> files;
};

class RestartQueue {
public:
    // Reads the queue and the deletions the plug-in queued, every name
    // taken for its place.
    RestartQueue();

    // The plug-in's own deletion of the place `path` names is queued.
    bool HoldsOwnDeletionOf(const CString& path) const;
    // The first path the queue names that is not the plug-in's own deletion
    // and that touches what `written` says: a file or folder the run
    // writes, anything within such a folder, or a folder above either (a
    // rename or deletion of a folder takes along what it holds). Empty when
    // there is none.
    CString FirstOtherOn(const WrittenPlaces& written) const;

    // Takes the plug-in's own queued deletion of `path` out of the queue.
    // False, with GetLastError() set, when the queue could not be rewritten.
    bool TakeOutOwnDeletion(const CString& path);

private:
    struct Entry {
        std::wstring queued;  // as the queue holds it
        CString path;         // as a path; empty when it is none this program could write
        CString key;          // the place it names; empty as the path
    };
    // Source and target of each queued operation; a deletion has no target.
    struct Operation {
        Entry from;
        Entry to;
    };
    bool IsOwnDeletion(const Operation& operation) const;

    std::vector<Operation> m_operations;
    std::vector<CString> m_ownDeletions;  // keys: what the plug-in queued
};

class ServedPlaces;

// The one way the plug-in queues a deletion for the next restart: `path` (a
// file, or a folder that is empty by then) is queued as MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT queues it, but through the key the queue is
// read and taken from. Where an installation may meet it, in one of
// `places` (a file in a served place, a folder the installation may have
// made), it is remembered as the plug-in's own, so that an installation
// before the restart may take it out again; nothing else is ever asked about
// (the uninstaller's temporary copy). False, with GetLastError() set, when
// it could not be queued.
bool QueueDeletionAtRestart(const CString& path, const ServedPlaces& places);
// Forgets the remembered deletions the queue no longer holds (carried out
// by a restart, or taken out by an installation that is complete).
void ForgetDeletionsNoLongerQueued();
// At the start of a run of either program: the memory an earlier version
// kept below the plug-in's own key, which no restart ends, moves into the
// volatile one (what the queue still holds of it), and goes, with the
// plug-in's key when nothing else is left in it.
void TakeOverEarlierRestartMemory();
