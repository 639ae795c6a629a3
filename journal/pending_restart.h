// The work Windows does at the next restart (MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT queues it in PendingFileRenameOperations,
// path by path) meets a file an installation writes now: a deletion queued
// by an uninstall whose module was in use would delete the new file at the
// restart, and a rename would replace or move it.
//
// The plug-in's own entries are the deletions it queued itself (its
// uninstaller, or the work after an installation's commit), all through
// QueueDeletionAtRestart, which remembers each under the machine-wide key
// (which only administrators may change); one counts as its own only while
// that deletion of exactly that path is still queued. An installation takes
// its own out through the journal (a rollback or the recovery of a killed
// run queues it again); anything else queued for a path it would write
// means a restart must come first.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/afx_string.h"

enum class QueuedForRestart {
    Nothing,
    OwnDeletion,  // the plug-in queued it: the installation may take it out
    Other,        // anything else: a restart must come first
};

class RestartQueue {
public:
    // Reads the queue and the deletions the plug-in queued.
    RestartQueue();

    QueuedForRestart For(const CString& path) const;
    // The plug-in's own deletion of this path (canonical) is queued.
    bool HoldsOwnDeletionOf(const CString& canonical) const;
    // The first path the queue names (as it names it) that `wouldWrite`
    // answers for and that is not the plug-in's own deletion; empty when
    // there is none.
    CString FirstOtherFor(const std::function<bool(const CString& path)>& wouldWrite) const;

    // Takes the plug-in's own queued deletion of `path` out of the queue.
    // False, with GetLastError() set, when the queue could not be rewritten.
    bool TakeOutOwnDeletion(const CString& path);

private:
    struct Entry {
        std::wstring queued;  // as the queue holds it
        CString path;         // canonical; empty when it is none this program could write
    };
    // Source and target of each queued operation; a deletion has no target.
    struct Operation {
        Entry from;
        Entry to;
    };
    bool IsOwnDeletion(const Operation& operation) const;

    std::vector<Operation> m_operations;
    std::vector<CString> m_ownDeletions;  // canonical: what the plug-in queued
};

class ServedPlaces;

// The one way the plug-in queues a deletion for the next restart: `path` (a
// file, or a folder that is empty by then) is queued as MoveFileEx with
// MOVEFILE_DELAY_UNTIL_REBOOT queues it, but through the key the queue is
// read and taken from. Where an installation may meet it, in one of
// `places` (a file in a served place, a folder the installation may have
// made), it is remembered as the plug-in's own, so that an installation
// before the restart may take it out again; nothing else is ever asked about
// (the uninstaller's temporary copy), and a memory of it would outlast the
// uninstall. False, with GetLastError() set, when it could not be queued.
bool QueueDeletionAtRestart(const CString& path, const ServedPlaces& places);
// Forgets the remembered deletions the queue no longer holds (carried out
// by a restart, or taken out by an installation that is complete).
void ForgetDeletionsNoLongerQueued();
