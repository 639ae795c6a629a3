// The one way each kind of item the plug-in made goes: a file (now, or at
// the next restart while it is in use), a recorded file while it is still
// what was installed, a folder when it is empty, an entry below a served
// host's "Applications" key, and a host's own file kept aside back in its
// place. The journal's lines (journal/line_kinds.h) and the uninstaller
// (uninstall/removal.h) remove through these, within the served places
// only, on the normal form of the path they checked, never through a link.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"
#include "record/install_record.h"

class RunLog;
class ServedPlaces;

enum class Removal { Now, AtNextRestart, Failed };
// Deletes a file (one already gone counts as deleted); one in use goes at
// the next restart (removal/restart_queue.h: QueueDeletionAtRestart, which
// remembers it where an installation of `places` may meet it). Logged.
Removal RemoveOrSchedule(const CString& path, const ServedPlaces& places, RunLog& log);

enum class FileFate {
    Removed,
    AtNextRestart,
    Failed,
    Gone,
    Changed,
    Unproven,
    Outside,
    ThroughLink
};
// A file a record or a finish line names goes (RemoveOrSchedule) while it
// lies directly in a served place other than the user's settings folder,
// reached through no link, and is still the plug-in's own: its size and
// SHA-256 are the recorded ones, or it has the recorded size and cannot be
// read, in use (record/file_ownership.h). `normal` is the
// path acted on. Only the removal is logged: why a file stays is the
// caller's to say.
FileFate RemoveRecordedFile(const InstallRecord::File& file, const ServedPlaces& places,
                            CString* normal, RunLog& log);

enum class FolderRemoval { Removed, Gone, NotEmpty, AtNextRestart, Left, Failed };
// A folder an installation may have made (ServedPlaces::MayHaveCreated, and
// no link) goes when it is empty; one that holds anything else stays as it
// is (NotEmpty), unless `orAtNextRestart`, when what it holds waits for the
// restart: it is queued to go after that. Logged.
FolderRemoval RemoveFolderWhenEmpty(const CString& folder, const ServedPlaces& places, RunLog& log,
                                    bool orAtNextRestart = false);

enum class KeyRemoval { Removed, Gone, Outside, Failed };
// A key below HKEY_CURRENT_USER goes when it is a served host's
// "Applications" key or an entry directly in it, never through a link; one
// with subkeys stays (Failed, ERROR_ACCESS_DENIED in `error`). Not logged:
// a user's record may name it, which the caller may not quote.
KeyRemoval RemoveServedKey(const CString& key, const ServedPlaces& places, LONG* error);

enum class PutBack { Now, AtNextRestart, NewerThere, StaysKept, Failed, NoneKept, Outside };
// A host's own file kept aside (kept.keptAs) back to its place (kept.path,
// where the plug-in wrote `pluginsFile`), both in their served places (a
// host folder or its fonts, the kept files) and reached through no link:
// now when the place is free; at the next restart when the plug-in's own
// deletion of the file there is queued; dropped when the file there is the
// host's newer one (the plug-in's changed since); else kept where it is,
// since the file there may be the plug-in's that could not be removed, or
// one no record proves (StaysKept). Logged.
PutBack PutBackKeptFile(const InstallRecord::KeptFile& kept, const InstallRecord::File& pluginsFile,
                        const ServedPlaces& places, RunLog& log);
