#include "uninstall/removal.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "deploy/registration_table.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_mbcs.h"
#include "hosts/host_contract.h"
#include "hosts/host_release.h"
#include "journal/install_journal.h"
#include "journal/line_kinds.h"
#include "record/record_store.h"
#include "removal/removal_steps.h"
#include "removal/restart_queue.h"
#include "run/product.h"
#include "run/run_log.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"
#include "text/place_keys.h"

namespace {

// The uninstaller that started this run, moved out of the way.
constexpr char kMovedUninstallerName[] = "Uninstall-started.exe";

// Deletes a file; one in use goes at the next restart. False when neither works.
bool DeleteOrSchedule(const CString& path, const ServedPlaces& places, UninstallOutcome& outcome,
                      RunLog& log) {
    switch (RemoveOrSchedule(path, places, log)) {
        case Removal::Now:
            return true;
        case Removal::AtNextRestart:
            outcome.scheduled.push_back(path);
            return true;
        case Removal::Failed:
            break;
    }
    return false;
}

// The host folder the path lies directly in (or in whose fonts folder it
// lies), among those the record names; empty when none.
CString RecordedHostFolderOf(const InstallRecord& record, const CString& path) {
    CString canonical;
    if (!CanonicalPath(path, &canonical)) return CString();
    for (const InstallRecord::Release& release : record.releases) {
        CString host;
        CString fonts;
        if (CanonicalPath(release.hostFolder, &host) &&
            CanonicalPath(JoinPath(release.hostFolder, kHostFontsFolder), &fonts) &&
            (IsDirectlyInFolder(canonical, host) || IsDirectlyInFolder(canonical, fonts))) {
            return release.hostFolder;
        }
    }
    return CString();
}

// A file the record names outside the places served: in a host folder this
// machine no longer has, or nowhere the installation may act.
void NoteOutside(const InstallRecord& record, const CString& path, UninstallOutcome& outcome,
                 RunLog& log) {
    const CString hostFolder = RecordedHostFolderOf(record, path);
    if (hostFolder.IsEmpty()) {
        NoteLeftItem(outcome, WhyLeft::Outside, path, log);
        return;
    }
    const bool known =
        std::any_of(outcome.hostsNotFound.begin(), outcome.hostsNotFound.end(),
                    [&](const CString& f) { return afx::MbsICmp(f, hostFolder) == 0; });
    if (!known) outcome.hostsNotFound.push_back(hostFolder);
}

// The installation's new files, each while it is still what was installed
// (removal/removal_steps.h: RemoveRecordedFile).
void RemoveFiles(const InstallRecord& record, const ServedPlaces& places, UninstallOutcome& outcome,
                 RunLog& log) {
    for (const InstallRecord::File& file : record.files) {
        if (file.origin != InstallRecord::Origin::New) continue;
        CString normal;
        switch (RemoveRecordedFile(file, places, &normal, log)) {
            case FileFate::AtNextRestart:
                outcome.scheduled.push_back(normal);
                ++outcome.removedFiles;
                break;
            case FileFate::Removed:
                ++outcome.removedFiles;
                break;
            case FileFate::Failed:
                NoteLeftItem(outcome, WhyLeft::NotRemoved, file.path, log);
                ++outcome.filesToTryAgain;
                break;
            case FileFate::Gone:
                break;
            case FileFate::Outside:
                NoteOutside(record, file.path, outcome, log);
                break;
            // A link on the way may lead anywhere: what lies there is not
            // the plug-in's.
            case FileFate::ThroughLink:
            case FileFate::Changed:
                NoteLeftItem(outcome, WhyLeft::Changed, file.path, log);
                break;
            case FileFate::Unproven:
                NoteLeftItem(outcome, WhyLeft::Unproven, file.path, log);
                break;
        }
    }
}

// The host's own files, kept in the installation folder, back in their
// places (removal/removal_steps.h: PutBackKeptFile), judged by what the
// record says the plug-in wrote there.
void RestoreKeptFiles(const InstallRecord& record, const ServedPlaces& places,
                      UninstallOutcome& outcome, RunLog& log) {
    // A record that took in an earlier one may name a place by two names.
    const KnownPlaces known(places.Keys());
    for (const InstallRecord::KeptFile& kept : record.keptFiles) {
        // Named in the form acted on.
        InstallRecord::KeptFile shown = kept;
        NormalizePath(kept.path, &shown.path);
        NormalizePath(kept.keptAs, &shown.keptAs);
        const auto plugins = std::find_if(
            record.files.begin(), record.files.end(),
            [&](const InstallRecord::File& file) { return known.Same(file.path, kept.path); });
        switch (PutBackKeptFile(
            kept, plugins != record.files.end() ? *plugins : InstallRecord::File(), places, log)) {
            case PutBack::Now:
            case PutBack::AtNextRestart:  // the module's deletion already asks for the restart
                ++outcome.restoredFiles;
                break;
            case PutBack::NewerThere:
                NoteLeftItem(outcome, WhyLeft::NotRestored, shown.path, log);
                break;
            case PutBack::StaysKept:
                NoteLeftItem(outcome, WhyLeft::NotRestored, shown.path, log);
                NoteLeftItem(outcome, WhyLeft::NotRemoved, shown.keptAs, log);
                break;
            case PutBack::Failed:
                NoteLeftItem(outcome, WhyLeft::NotRemoved, shown.keptAs, log);
                ++outcome.filesToTryAgain;
                break;
            case PutBack::NoneKept:
            case PutBack::Outside:
                break;
        }
    }
}

// The plug-in's own keys below a host's "Applications" key: that key, and
// each release's two entries.
bool IsPluginEntryName(const CString& name) {
    if (afx::MbsICmp(name, kApplicationsKey) == 0) return true;
    for (const HostRelease release : kHostReleases) {
        const int year = HostReleaseYear(release);
        if (afx::MbsICmp(name, FileNameOf(MainEntryKeyName(year))) == 0 ||
            afx::MbsICmp(name, FileNameOf(CompanionEntryKeyName(year))) == 0) {
            return true;
        }
    }
    return false;
}

// How a recorded key is named in the box and the log: a user's record is
// that user's text, so of it only the names of the plug-in's own entries
// are shown, and the rest counted.
struct ShownKey {
    CString text;
    bool named;
};

ShownKey ShowKey(const InstallRecord::Key& key, const ServedPlaces& places, const char* root,
                 RecordKind kind) {
    if (kind == RecordKind::Installation) return {root + key.path, true};
    const CString name = FileNameOf(key.path);
    if (places.IsApplicationsKey(key.path) && IsPluginEntryName(name)) {
        return {root + CString("...\\") + name, true};
    }
    return {root + CString("..."), false};
}

void NoteKeyLeft(const ShownKey& shown, WhyLeft why, UninstallOutcome& outcome, RunLog& log) {
    if (shown.named) {
        NoteLeftItem(outcome, why, shown.text, log);
        return;
    }
    ++outcome.usersItemsLeft;
    if (why == WhyLeft::NotRemoved) ++outcome.notRemoved;
    log.Write(afx::UiText("an item of a user's record that is not the plug-in's, left: ") +
              afx::UiText::System(shown.text));
}

}  // namespace

void RemoveRecordedKeys(const InstallRecord& record, const ServedPlaces& places, const char* root,
                        RecordKind kind, UninstallOutcome& outcome, RunLog& log) {
    // The deepest first, whatever the record's order: an entry before the
    // "Applications" key it is in.
    std::vector<InstallRecord::Key> keys = record.keys;
    SortDeepestFirst(keys, [](const InstallRecord::Key& key) { return key.path.GetString(); });
    for (const InstallRecord::Key& key : keys) {
        if (key.origin != InstallRecord::Origin::New) continue;
        const ShownKey shown = ShowKey(key, places, root, kind);
        LONG error = ERROR_SUCCESS;
        switch (RemoveServedKey(key.path, places, &error)) {
            case KeyRemoval::Removed:
                ++outcome.removedKeys;
                log.Result("remove key", shown.text, true);
                break;
            case KeyRemoval::Gone:
                break;
            case KeyRemoval::Outside:
                NoteKeyLeft(shown, WhyLeft::Outside, outcome, log);
                break;
            case KeyRemoval::Failed:
                // "Applications" may hold other add-ons: it stays without a word.
                if (afx::MbsICmp(FileNameOf(key.path), kApplicationsKey) == 0) break;
                NoteKeyLeft(shown, WhyLeft::NotRemoved, outcome, log);
                log.Result("remove key", shown.text, false, static_cast<DWORD>(error));
                break;
        }
    }
}

namespace {

// The program that started this run waits for it: its file cannot be
// deleted, but it can be moved out of the folder, into this run's own, which
// goes at the next restart with it. False when it could not be moved.
bool MoveRunningOut(const CString& file, const ServedPlaces& places, const CString& ownFolder,
                    RunLog& log) {
    const CString moved = FreeName(JoinPath(ownFolder, kMovedUninstallerName), "");
    const bool out = MoveFileExA(file, moved, 0) != FALSE;
    log.Result("move the running uninstaller out of the folder", file, out,
               out ? 0 : GetLastError());
    if (out) QueueDeletionAtRestart(moved, places);
    return out;
}

// The uninstaller's own files in the installation folder.
void RemoveOwnFiles(const ServedPlaces& places, const CString& runningUninstaller,
                    const CString& ownFolder, UninstallOutcome& outcome, RunLog& log) {
    const CString& installFolder = places.InstallFolder();
    // The machine's copy of the record stays until the end.
    RemoveFile(JoinPath(installFolder, kInstallRecordName));
    RemoveFile(JoinPath(installFolder, kJournalFileName));
    const CString uninstaller = JoinPath(installFolder, kUninstallerName);
    if (!ownFolder.IsEmpty() && IsSamePlace(runningUninstaller, uninstaller)) {
        // Renamed out of the way when this run undid the installation that
        // wrote it (journal/line_kinds.h): it is the one running then.
        // Its deletion queued where it was is moot once it is out.
        const CString undone = uninstaller + kUndoneExtension;
        if (GetPathKind(undone) == PathKind::File &&
            MoveRunningOut(undone, places, ownFolder, log) &&
            RestartQueue().TakeOutOwnDeletion(undone)) {
            ForgetDeletionsNoLongerQueued();
        }
        if (MoveRunningOut(uninstaller, places, ownFolder, log)) return;
    }
    DeleteOrSchedule(uninstaller, places, outcome, log);
}

void RemoveCreatedFolders(const InstallRecord& record, const ServedPlaces& places,
                          UninstallOutcome& outcome, RunLog& log) {
    std::vector<CString> folders = record.createdFolders;
    SortDeepestFirst(folders, [](const CString& folder) { return folder.GetString(); });
    for (const CString& folder : folders) {
        // Emptied at the next restart, when what is still in use goes.
        if (RemoveFolderWhenEmpty(folder, places, log, outcome.NeedsRestart()) ==
            FolderRemoval::Removed) {
            ++outcome.removedFolders;
        }
    }
}

}  // namespace

void RemoveInstallation(const InstallRecord& record, const ServedPlaces& places,
                        const CString& runningUninstaller, const CString& ownFolder,
                        UninstallOutcome& outcome, RunLog& log) {
    RemoveFiles(record, places, outcome, log);
    RestoreKeptFiles(record, places, outcome, log);
    RemoveRecordedKeys(record, places, "HKEY_CURRENT_USER\\", RecordKind::Installation, outcome,
                       log);
    for (const CString& host : outcome.hostsNotFound) {
        log.Write(afx::UiText("a host folder this machine no longer has; its files stay: ") +
                  afx::UiText::System(host));
    }
    // A file that neither went nor could be queued for the restart (nor a
    // host's file kept for it put back) stays recorded: the uninstall stops
    // here, still under way, and the next run tries it again.
    if (outcome.filesToTryAgain > 0) {
        log.Write(
            "files were neither removed nor queued for the next restart: the "
            "installation stays recorded, and the next run tries again");
        return;
    }
    // The entry names the uninstaller, which must outlive it.
    if (places.IsInstallFolder(ReadInstalledFolder())) {
        const LONG result = DeleteUninstallEntry();
        const bool removed = result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
        log.Result("remove the Programs and Features entry HKEY_LOCAL_MACHINE\\",
                   kUninstallEntryKey, removed, static_cast<DWORD>(result));
        if (!removed) {
            NoteNotRemoved(outcome, CString("HKEY_LOCAL_MACHINE\\") + kUninstallEntryKey);
            return;
        }
    }
    RemoveOwnFiles(places, runningUninstaller, ownFolder, outcome, log);
    RemoveCreatedFolders(record, places, outcome, log);
    // Last: until now a run killed half way is finished from it by the next.
    DeleteInstallRecord(places.InstallFolder());
}
