#include "journal/journal_work.h"

#include <windows.h>

#include "journal/pending_restart.h"
#include "record/file_ownership.h"
#include "record/served_places.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/reg_ops.h"
#include "text/path_text.h"

namespace {

using Kind = JournalLine::Kind;
using Place = ServedPlaces::Place;

bool IsGoneError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The normal form of a file a line names, when it lies directly in a served
// place (the user's settings only where `settingsToo`) reached through no link.
bool ServedFile(const ServedPlaces& places, const CString& path, bool settingsToo,
                CString* normal) {
    CString served;
    const Place place = places.PlaceOf(path, &served);
    return place != Place::None && (settingsToo || place != Place::Settings) &&
           NormalizePath(path, normal) && !PassesThroughLink(served, *normal);
}

void LeftOutside(const CString& path, RunLog& log) {
    log.Write(afx::UiText("outside the installation's places, left: ") + afx::UiText::System(path));
}

// An entry the installation made, or the "Applications" key made for
// them; never anything else of the hive, nor one with subkeys.
void RemoveKey(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    if (!places.IsApplicationsKey(line.path)) {
        LeftOutside("HKEY_CURRENT_USER\\" + line.path, log);
        return;
    }
    const LONG result = DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, line.path);
    const bool gone = result == ERROR_SUCCESS || IsGoneError(static_cast<DWORD>(result));
    log.Result("remove key HKEY_CURRENT_USER\\", line.path, gone,
               gone ? 0 : static_cast<DWORD>(result));
}

void UndoFile(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    CString aside;
    // The user's settings file is written through the journal too.
    if (!ServedFile(places, line.path, true, &path) ||
        (!line.aside.IsEmpty() && !ServedFile(places, line.aside, true, &aside))) {
        LeftOutside(line.path, log);
        return;
    }
    // The earlier file is back in its place, replacing what the run wrote.
    if (!aside.IsEmpty() && GetPathKind(aside) == PathKind::File) {
        const bool back = RestoreFile(aside, path, INVALID_FILE_ATTRIBUTES);
        log.Result("put back", path, back, back ? 0 : GetLastError());
        return;
    }
    if (line.kind != Kind::New) return;  // never set aside: the earlier file is still there
    const bool removed = RemoveFile(path) || IsGoneError(GetLastError());
    log.Result("remove", path, removed, removed ? 0 : GetLastError());
}

// Puts back a deletion a killed run took out of the restart's queue.
void UndoQueuedDeletion(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    if (!ServedFile(places, line.path, false, &path)) {
        LeftOutside(line.path, log);
        return;
    }
    const bool queued = QueueDeletionAtRestart(path);
    log.Result("queue the deletion at the next restart again:", path, queued,
               queued ? 0 : GetLastError());
}

void FinishRemoveFile(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString path;
    if (!ServedFile(places, line.path, false, &path)) {
        LeftOutside(line.path, log);
        return;
    }
    const InstallRecord::File recorded{path, line.size, InstallRecord::Origin::New, line.sha256};
    switch (JudgeRecordedFile(recorded, ReadFileNow(path, line.size))) {
        case Ownership::Own:
            RemoveOrSchedule(path, log);
            return;
        case Ownership::Gone:
            return;
        case Ownership::Unproven:
            log.Write(afx::UiText("no SHA-256 was recorded for it, never taken for the "
                                  "plug-in's own, left: ") +
                      afx::UiText::System(path));
            return;
        case Ownership::Changed:
        case Ownership::NotRecorded:
            break;
    }
    log.Write(afx::UiText("changed since the installation (size or SHA-256), left: ") +
              afx::UiText::System(path));
}

// A host's own file kept aside goes back once the plug-in's file in its
// place is gone.
void PutBackLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    const Place host = places.PlaceOf(line.path);
    CString path;
    CString kept;
    if ((host != Place::HostFolder && host != Place::HostFonts) ||
        places.PlaceOf(line.aside) != Place::KeptFiles ||
        !ServedFile(places, line.path, false, &path) ||
        !ServedFile(places, line.aside, false, &kept)) {
        LeftOutside(line.aside, log);
        return;
    }
    PutBackHostFile(path, kept, {line.path, line.size, InstallRecord::Origin::New, line.sha256},
                    log);
}

}  // namespace

PutBack PutBackHostFile(const CString& path, const CString& kept,
                        const InstallRecord::File& pluginsFile, RunLog& log) {
    if (GetPathKind(kept) != PathKind::File) return PutBack::NoneKept;  // put back already
    if (GetPathKind(path) == PathKind::Absent) {
        const bool back = MoveFileExA(kept, path, MOVEFILE_COPY_ALLOWED) != FALSE;
        log.Result("put back the host's own file", path, back, back ? 0 : GetLastError());
        return back ? PutBack::Now : PutBack::Failed;
    }
    CString canonical;
    if (CanonicalPath(path, &canonical) && RestartQueue().HoldsOwnDeletionOf(canonical)) {
        // Queued after the deletion, so carried out after it.
        const bool queued =
            MoveFileExA(kept, path, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) !=
            FALSE;
        log.Result("put back the host's own file at the next restart", path, queued,
                   queued ? 0 : GetLastError());
        return queued ? PutBack::AtNextRestart : PutBack::Failed;
    }
    if (JudgeRecordedFile(pluginsFile, ReadFileNow(path, pluginsFile.size)) == Ownership::Changed) {
        log.Write(afx::UiText("the host's newer file is in place, its older one kept goes: ") +
                  afx::UiText::System(path));
        RemoveOrSchedule(kept, log);
        return PutBack::NewerThere;
    }
    log.Write(afx::UiText("the file in its place is not proven the host's newer one, the host's "
                          "own stays kept: ") +
              afx::UiText::System(kept));
    return PutBack::StaysKept;
}

Removal RemoveOrSchedule(const CString& path, RunLog& log) {
    if (RemoveFile(path) || IsGoneError(GetLastError())) {
        log.Result("remove", path, true);
        return Removal::Now;
    }
    const DWORD error = GetLastError();
    if (MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        log.Result("remove (in use; at the next restart)", path, true);
        // An installation before the restart takes it out again.
        RememberQueuedDeletion(path);
        return Removal::AtNextRestart;
    }
    log.Result("remove", path, false, error);
    return Removal::Failed;
}

void RemoveFolderWhenEmpty(const CString& folder, const ServedPlaces& places, RunLog& log) {
    CString normal;
    if (!places.MayHaveCreated(folder) || !NormalizePath(folder, &normal) ||
        IsReparsePoint(normal)) {
        log.Write(afx::UiText("not a folder the installation may have made, left: ") +
                  afx::UiText::System(folder));
        return;
    }
    if (RemoveDirectoryA(normal)) {
        log.Result("remove folder", normal, true);
        return;
    }
    const DWORD error = GetLastError();
    if (IsGoneError(error)) return;
    // One that holds anything else stays as it is.
    if (error == ERROR_DIR_NOT_EMPTY) {
        log.Write(afx::UiText("not empty, left: ") + afx::UiText::System(normal));
        return;
    }
    log.Result("remove folder", normal, false, error);
}

void UndoJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    switch (line.kind) {
        case Kind::Folder:
            RemoveFolderWhenEmpty(line.path, places, log);
            break;
        case Kind::Key:
            RemoveKey(line, places, log);
            break;
        case Kind::New:
        case Kind::Replace:
        case Kind::Keep:
            UndoFile(line, places, log);
            break;
        case Kind::QueuedDeletion:
            UndoQueuedDeletion(line, places, log);
            break;
        case Kind::Commit:
        case Kind::RemoveFile:
        case Kind::RemoveFolder:
        case Kind::RemoveKey:
        case Kind::PutBack:
            break;  // never before the commit
    }
}

void FinishJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    CString aside;
    switch (line.kind) {
        case Kind::Replace:
            // The replaced file kept beside its new one for a rollback.
            if (ServedFile(places, line.aside, true, &aside) &&
                GetPathKind(aside) == PathKind::File) {
                RemoveOrSchedule(aside, log);
            }
            break;
        case Kind::RemoveFile:
            FinishRemoveFile(line, places, log);
            break;
        case Kind::RemoveFolder:
            RemoveFolderWhenEmpty(line.path, places, log);
            break;
        case Kind::RemoveKey:
            RemoveKey(line, places, log);
            break;
        case Kind::PutBack:
            PutBackLine(line, places, log);
            break;
        case Kind::Folder:
        case Kind::New:
        case Kind::Keep:
        case Kind::Key:
        case Kind::Commit:
        case Kind::QueuedDeletion:
            break;  // done before the commit
    }
}
