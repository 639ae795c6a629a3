#include "removal/removal_steps.h"

#include "record/file_ownership.h"
#include "record/served_places.h"
#include "removal/restart_queue.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/reg_ops.h"
#include "text/path_text.h"

namespace {

using Place = ServedPlaces::Place;

bool IsGoneError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Both normal paths the caller checked: see PutBackKeptFile.
PutBack PutBackHostFile(const CString& path, const CString& kept,
                        const InstallRecord::File& pluginsFile, const ServedPlaces& places,
                        RunLog& log) {
    if (GetPathKind(kept) != PathKind::File) return PutBack::NoneKept;  // put back already
    if (GetPathKind(path) == PathKind::Absent) {
        const bool back = MoveFileExA(kept, path, MOVEFILE_COPY_ALLOWED) != FALSE;
        log.Result("put back the host's own file", path, back, back ? 0 : GetLastError());
        return back ? PutBack::Now : PutBack::Failed;
    }
    if (RestartQueue().HoldsOwnDeletionOf(path)) {
        // Queued after the deletion, so carried out after it. A move, not a
        // deletion: it is queued by MoveFileEx itself, and the plug-in need
        // not remember it (QueueDeletionAtRestart is for deletions).
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
        RemoveOrSchedule(kept, places, log);
        return PutBack::NewerThere;
    }
    log.Write(afx::UiText("the file in its place is not proven the host's newer one, the host's "
                          "own stays kept: ") +
              afx::UiText::System(kept));
    return PutBack::StaysKept;
}

}  // namespace

Removal RemoveOrSchedule(const CString& path, const ServedPlaces& places, RunLog& log) {
    if (RemoveFile(path) || IsGoneError(GetLastError())) {
        log.Result("remove", path, true);
        return Removal::Now;
    }
    const DWORD error = GetLastError();
    if (QueueDeletionAtRestart(path, places)) {
        log.Result("remove (in use; at the next restart)", path, true);
        return Removal::AtNextRestart;
    }
    log.Result("remove", path, false, error);
    return Removal::Failed;
}

FileFate RemoveRecordedFile(const InstallRecord::File& file, const ServedPlaces& places,
                            CString* normal, RunLog& log) {
    switch (ReachServedFile(places, file.path, SettingsFolder::Excluded, normal)) {
        case FileReach::Outside:
            return FileFate::Outside;
        case FileReach::ThroughLink:
            return FileFate::ThroughLink;
        case FileReach::Reached:
            break;
    }
    switch (JudgeRecordedFile(file, ReadFileNow(*normal, file.size))) {
        case Ownership::Own:
            break;
        case Ownership::InUse:
            // Not read is not changed: the plug-in's file goes, at the restart
            // when it cannot now.
            log.Write(afx::UiText("in use, its content cannot be read; the plug-in's own: ") +
                      afx::UiText::System(*normal));
            break;
        case Ownership::Gone:
            return FileFate::Gone;
        case Ownership::Unproven:
            return FileFate::Unproven;
        case Ownership::Changed:
        case Ownership::NotRecorded:
            return FileFate::Changed;
    }
    switch (RemoveOrSchedule(*normal, places, log)) {
        case Removal::Now:
            return FileFate::Removed;
        case Removal::AtNextRestart:
            return FileFate::AtNextRestart;
        case Removal::Failed:
            break;
    }
    return FileFate::Failed;
}

FolderRemoval RemoveFolderWhenEmpty(const CString& folder, const ServedPlaces& places, RunLog& log,
                                    bool orAtNextRestart) {
    CString normal;
    if (!places.MayHaveCreated(folder) || !NormalizePath(folder, &normal) ||
        IsReparsePoint(normal)) {
        log.Write(afx::UiText("not a folder the installation may have made, left: ") +
                  afx::UiText::System(folder));
        return FolderRemoval::Left;
    }
    // The one place a folder is removed: only an empty one goes.
    if (RemoveDirectoryA(normal)) {
        log.Result("remove folder", normal, true);
        return FolderRemoval::Removed;
    }
    const DWORD error = GetLastError();
    if (IsGoneError(error)) return FolderRemoval::Gone;
    // Emptied at the next restart, when what it still holds goes.
    if (orAtNextRestart && QueueDeletionAtRestart(normal, places)) {
        log.Result("remove folder (once empty, at the next restart)", normal, true);
        return FolderRemoval::AtNextRestart;
    }
    // One that holds anything else stays as it is.
    if (error == ERROR_DIR_NOT_EMPTY) {
        log.Write(afx::UiText("not empty, left: ") + afx::UiText::System(normal));
        return FolderRemoval::NotEmpty;
    }
    log.Result("remove folder", normal, false, error);
    return FolderRemoval::Failed;
}

KeyRemoval RemoveServedKey(const CString& key, const ServedPlaces& places, LONG* error) {
    *error = ERROR_SUCCESS;
    // An entry the installation made, or the "Applications" key made for
    // them; never anything else of the hive.
    if (!places.IsApplicationsKey(key)) return KeyRemoval::Outside;
    *error = DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, key);
    if (*error == ERROR_SUCCESS) return KeyRemoval::Removed;
    return IsGoneError(static_cast<DWORD>(*error)) ? KeyRemoval::Gone : KeyRemoval::Failed;
}

PutBack PutBackKeptFile(const InstallRecord::KeptFile& kept, const InstallRecord::File& pluginsFile,
                        const ServedPlaces& places, RunLog& log) {
    const Place host = places.PlaceOf(kept.path);
    CString path;
    CString keptAs;
    if ((host != Place::HostFolder && host != Place::HostFonts) ||
        places.PlaceOf(kept.keptAs) != Place::KeptFiles ||
        ReachServedFile(places, kept.path, SettingsFolder::Excluded, &path) != FileReach::Reached ||
        ReachServedFile(places, kept.keptAs, SettingsFolder::Excluded, &keptAs) !=
            FileReach::Reached) {
        log.Write(afx::UiText("a kept file outside the installation's places, left: ") +
                  afx::UiText::System(kept.keptAs));
        return PutBack::Outside;
    }
    return PutBackHostFile(path, keptAs, pluginsFile, places, log);
}
