#include <windows.h>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "journal/line_kinds.h"
#include "record/served_places.h"
#include "removal/removal_steps.h"
#include "removal/restart_queue.h"
#include "run/product.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/folder_security.h"
#include "text/path_text.h"

static_assert(kNoAttributes == INVALID_FILE_ATTRIBUTES, "a line without attributes sets none");

namespace {

using Origin = InstallRecord::Origin;

void LeftOutside(const CString& path, RunLog& log) {
    log.Write(afx::UiText("outside the installation's places, left: ") + afx::UiText::System(path));
}

// The normal form of a file a line names, when it is reached (see
// ReachServedFile); logged as left when it is not.
bool Reach(const ServedPlaces& places, const CString& path, SettingsFolder settings,
           CString* normal, RunLog& log) {
    if (ReachServedFile(places, path, settings, normal) == FileReach::Reached) return true;
    LeftOutside(path, log);
    return false;
}

// A key line's key goes, as the uninstaller removes one (RemoveServedKey).
void RemoveKeyOfLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    LONG error = ERROR_SUCCESS;
    switch (RemoveServedKey(line.path, places, &error)) {
        case KeyRemoval::Outside:
            LeftOutside("HKEY_CURRENT_USER\\" + line.path, log);
            return;
        case KeyRemoval::Removed:
        case KeyRemoval::Gone:
            log.Result("remove key HKEY_CURRENT_USER\\", line.path, true);
            return;
        case KeyRemoval::Failed:
            break;
    }
    log.Result("remove key HKEY_CURRENT_USER\\", line.path, false, static_cast<DWORD>(error));
}

}  // namespace

bool FolderLine::Do(const JournalLine& line, NewFolderAccess access) {
    return CreateFolderWith(line.path, access);
}

void FolderLine::Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    RemoveFolderWhenEmpty(line.path, places, log);
}

void NewFileLine::Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    // The user's settings file is written through the journal too.
    if (!Reach(places, line.path, SettingsFolder::Included, &path, log)) return;
    // A folder in the way was never the run's: the copy failed on it.
    if (GetPathKind(path) == PathKind::Folder) return;
    const bool removed = RemoveFile(path) || GetLastError() == ERROR_FILE_NOT_FOUND ||
                         GetLastError() == ERROR_PATH_NOT_FOUND;
    log.Result("remove", path, removed, removed ? 0 : GetLastError());
}

bool ReplaceLine::Do(const JournalLine& line) {
    ClearReadOnly(line.path);
    if (MoveFileExA(line.path, line.aside, MOVEFILE_COPY_ALLOWED)) return true;
    const DWORD error = GetLastError();
    SetFileAttributesA(line.path, line.attributes);
    SetLastError(error);
    return false;
}

bool ReplaceLine::PutBackAside(const JournalLine& line) {
    return RestoreFile(line.aside, line.path, line.attributes);
}

void ReplaceLine::Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    CString aside;
    if (!Reach(places, line.path, SettingsFolder::Included, &path, log) ||
        !Reach(places, line.aside, SettingsFolder::Included, &aside, log)) {
        return;
    }
    // Never set aside (the rename failed after its line): the earlier file
    // is still in its place.
    if (GetPathKind(aside) != PathKind::File) return;
    // Back in its place with its attributes, replacing what the run wrote.
    const JournalLine back{line.kind, path, aside, 0, CString(), line.attributes};
    bool done = PutBackAside(back);
    if (!done) {
        // What the run wrote runs, or is held, and cannot be replaced (the
        // uninstaller it wrote, started to recover from it): renamed out of
        // the way it goes at the next restart, and the earlier file is back.
        const CString undone = FreeName(path, kUndoneExtension);
        if (MoveFileExA(path, undone, 0)) {
            done = PutBackAside(back);
            const DWORD error = GetLastError();
            if (done) RemoveOrSchedule(undone, places, log);
            if (!done) MoveFileExA(undone, path, 0);  // the earlier file could not come: as it was
            SetLastError(error);
        }
    }
    log.Result("put back", path, done, done ? 0 : GetLastError());
}

LineDone ReplaceLine::Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    // The replaced file kept beside its new one for a rollback goes: the new
    // one is in place, whenever the old one goes.
    CString aside;
    if (Reach(places, line.aside, SettingsFolder::Included, &aside, log) &&
        GetPathKind(aside) == PathKind::File) {
        RemoveOrSchedule(aside, places, log);
    }
    return LineDone::Done;
}

void KeyLine::Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    RemoveKeyOfLine(line, places, log);
}

bool QueuedDeletionLine::Do(const JournalLine& line, RestartQueue& queue) {
    return queue.TakeOutOwnDeletion(line.path);
}

void QueuedDeletionLine::Undo(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    if (!Reach(places, line.path, SettingsFolder::Excluded, &path, log)) return;
    // Still queued: the run never took it out.
    if (RestartQueue().HoldsOwnDeletionOf(path)) return;
    const bool queued = QueueDeletionAtRestart(path, places);
    log.Result("queue the deletion at the next restart again:", path, queued,
               queued ? 0 : GetLastError());
}

LineDone RemoveFileLine::Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    switch (
        RemoveRecordedFile({line.path, line.size, Origin::New, line.sha256}, places, &path, log)) {
        case FileFate::Outside:
        case FileFate::ThroughLink:
            LeftOutside(line.path, log);
            break;
        case FileFate::Unproven:
            log.Write(afx::UiText("no SHA-256 was recorded for it, never taken for the "
                                  "plug-in's own, left: ") +
                      afx::UiText::System(path));
            break;
        case FileFate::Changed:
            log.Write(afx::UiText("changed since the installation (size or SHA-256), left: ") +
                      afx::UiText::System(path));
            break;
        case FileFate::AtNextRestart:
            return LineDone::AtNextRestart;
        case FileFate::Failed:  // logged by the removal, with the system's error
            return LineDone::NotDone;
        case FileFate::Removed:
        case FileFate::Gone:
            break;
    }
    return LineDone::Done;
}

LineDone RemoveFolderLine::Finish(const JournalLine& line, const ServedPlaces& places,
                                  RunLog& log) {
    RemoveFolderWhenEmpty(line.path, places, log);
    return LineDone::Done;
}

LineDone RemoveKeyLine::Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    RemoveKeyOfLine(line, places, log);
    return LineDone::Done;
}

LineDone PutBackLine::Finish(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    switch (PutBackKeptFile({line.path, line.aside},
                            {line.path, line.size, Origin::New, line.sha256}, places, log)) {
        case PutBack::AtNextRestart:
            return LineDone::AtNextRestart;
        case PutBack::Failed:
            return LineDone::NotDone;
        default:
            return LineDone::Done;
    }
}

namespace {

// Each machine entry a line may save, by its kind.
EntryPlace PlaceOf(JournalLine::Kind kind) {
    switch (kind) {
        case JournalLine::Kind::RecordCopy:
            return {EntryRoot::Machine, kPluginKey, kRecordCopyValue};
        case JournalLine::Kind::UninstallEntry:
            return {EntryRoot::Machine, kUninstallEntryKey, nullptr};
        case JournalLine::Kind::ActiveSetupEntry:
            return {EntryRoot::Machine, kActiveSetupKey, nullptr};
        case JournalLine::Kind::ActiveSetupStamp:
        default:  // only the kinds of SavedEntryLine ask
            return {EntryRoot::RunningAccount, kActiveSetupKey, nullptr};
    }
}

CString EntryName(const EntryPlace& place) {
    const CString key =
        CString(place.root == EntryRoot::Machine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\") +
        place.key;
    return place.value ? key + " " + place.value : key;
}

}  // namespace

bool SavedEntryLine::Save(JournalLine* line) {
    const EntryPlace place = PlaceOf(line->kind);
    line->path = EntryName(place);
    return SaveEntry(place, &line->saved);
}

void SavedEntryLine::Undo(const JournalLine& line, const ServedPlaces&, RunLog& log) {
    const EntryPlace place = PlaceOf(line.kind);
    const bool back = PutBackEntry(place, line.saved);
    log.Result(line.saved.existed ? "put back as it was:" : "remove, as there was none:",
               EntryName(place), back, back ? 0 : GetLastError());
}
