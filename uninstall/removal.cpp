#include "uninstall/removal.h"

#include <windows.h>

#include <algorithm>

#include "deploy/registration_table.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_mbcs.h"
#include "hosts/host_contract.h"
#include "hosts/host_release.h"
#include "journal/install_journal.h"
#include "journal/journal_work.h"
#include "record/file_ownership.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/product.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/reg_ops.h"
#include "text/path_text.h"

namespace {

using Place = ServedPlaces::Place;

// The uninstaller that started this run, moved out of the way.
constexpr char kMovedUninstallerName[] = "Uninstall-started.exe";

// Why an item the installation made stays, as the final box and the log say it.
enum class WhyLeft { Changed, Unproven, NotRemoved, Outside, NotRestored };
struct Reason {
    const char* boxFormat;
    const char* logText;
};
constexpr Reason kReasons[] = {
    {"%s（安装后已被更改，视为CAD或用户自己的文件，未删除）",
     "changed since the installation (size or SHA-256), the host's own now, left: "},
    {"%s（安装记录中没有它的校验值，无法确认属于本插件，未删除）",
     "the record holds no SHA-256 for it, never taken for the plug-in's own, left: "},
    // Its caller has logged the failure with the system's error code.
    {"%s（无法删除）", nullptr},
    {"%s（不属于本插件，未删除）", "outside the installation's places, left: "},
    {"%s（安装后已被修改，未恢复安装前的文件）", "changed since, the host's own not put back: "},
};

// Notes an item that stays, for the final box and the log.
void NoteLeftItem(UninstallOutcome& outcome, WhyLeft why, const CString& what, RunLog& log) {
    const Reason& reason = kReasons[static_cast<int>(why)];
    outcome.left.push_back(afx::FormatUiText(reason.boxFormat, {what}));
    if (reason.logText) log.Write(afx::UiText(reason.logText) + afx::UiText::System(what));
    if (why == WhyLeft::NotRemoved) ++outcome.notRemoved;
}

// Deletes a file; one in use goes at the next restart. False when neither works.
bool DeleteOrSchedule(const CString& path, UninstallOutcome& outcome, RunLog& log) {
    switch (RemoveOrSchedule(path, log)) {
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

void NoteHostNotFound(UninstallOutcome& outcome, const CString& hostFolder) {
    const bool known =
        std::any_of(outcome.hostsNotFound.begin(), outcome.hostsNotFound.end(),
                    [&](const CString& f) { return afx::MbsICmp(f, hostFolder) == 0; });
    if (!known) outcome.hostsNotFound.push_back(hostFolder);
}

// A file the installation put where the record says: its place served,
// reached through no link, and still what was installed.
enum class FileCheck { Removable, Gone, Changed, Unproven, Outside, HostGone };

FileCheck CheckFile(const InstallRecord& record, const ServedPlaces& places,
                    const InstallRecord::File& file, CString* normal) {
    CString served;
    const Place place = places.PlaceOf(file.path, &served);
    if (place == Place::None || place == Place::Settings || !NormalizePath(file.path, normal)) {
        return RecordedHostFolderOf(record, file.path).IsEmpty() ? FileCheck::Outside
                                                                 : FileCheck::HostGone;
    }
    if (PassesThroughLink(served, *normal)) return FileCheck::Changed;
    switch (JudgeRecordedFile(file, ReadFileNow(*normal, file.size))) {
        case Ownership::Own:
            return FileCheck::Removable;
        case Ownership::Gone:
            return FileCheck::Gone;
        case Ownership::Unproven:
            return FileCheck::Unproven;
        case Ownership::Changed:
        case Ownership::NotRecorded:
            break;
    }
    return FileCheck::Changed;
}

void RemoveFiles(const InstallRecord& record, const ServedPlaces& places, UninstallOutcome& outcome,
                 RunLog& log) {
    for (const InstallRecord::File& file : record.files) {
        if (file.origin != InstallRecord::Origin::New) continue;
        CString normal;
        switch (CheckFile(record, places, file, &normal)) {
            case FileCheck::Gone:
                break;
            case FileCheck::Outside:
                NoteLeftItem(outcome, WhyLeft::Outside, file.path, log);
                break;
            case FileCheck::HostGone:
                NoteHostNotFound(outcome, RecordedHostFolderOf(record, file.path));
                break;
            case FileCheck::Changed:
                NoteLeftItem(outcome, WhyLeft::Changed, file.path, log);
                break;
            case FileCheck::Unproven:
                NoteLeftItem(outcome, WhyLeft::Unproven, file.path, log);
                break;
            case FileCheck::Removable:
                if (DeleteOrSchedule(normal, outcome, log)) {
                    ++outcome.removedFiles;
                } else {
                    NoteLeftItem(outcome, WhyLeft::NotRemoved, file.path, log);
                }
                break;
        }
    }
}

// The host's own files, kept in the installation folder, back in their
// places (journal/journal_work.h: PutBackHostFile), judged by what the
// record says the plug-in wrote there.
void RestoreKeptFiles(const InstallRecord& record, const ServedPlaces& places,
                      UninstallOutcome& outcome, RunLog& log) {
    for (const InstallRecord::KeptFile& kept : record.keptFiles) {
        CString hostServed;
        CString keptServed;
        CString path;
        CString keptAs;
        const Place place = places.PlaceOf(kept.path, &hostServed);
        if ((place != Place::HostFolder && place != Place::HostFonts) ||
            places.PlaceOf(kept.keptAs, &keptServed) != Place::KeptFiles ||
            !NormalizePath(kept.path, &path) || !NormalizePath(kept.keptAs, &keptAs) ||
            PassesThroughLink(hostServed, path) || PassesThroughLink(keptServed, keptAs)) {
            log.Write(afx::UiText("a kept file outside the installation's places, left: ") +
                      afx::UiText::System(kept.keptAs));
            continue;
        }
        const auto plugins = std::find_if(
            record.files.begin(), record.files.end(),
            [&](const InstallRecord::File& file) { return IsSamePath(file.path, kept.path); });
        switch (PutBackHostFile(
            path, keptAs, plugins != record.files.end() ? *plugins : InstallRecord::File(), log)) {
            case PutBack::Now:
            case PutBack::AtNextRestart:  // the module's deletion already asks for the restart
                ++outcome.restoredFiles;
                break;
            case PutBack::NewerThere:
                NoteLeftItem(outcome, WhyLeft::NotRestored, path, log);
                break;
            case PutBack::StaysKept:
                NoteLeftItem(outcome, WhyLeft::NotRestored, path, log);
                NoteLeftItem(outcome, WhyLeft::NotRemoved, keptAs, log);
                break;
            case PutBack::Failed:
                NoteLeftItem(outcome, WhyLeft::NotRemoved, keptAs, log);
                break;
            case PutBack::NoneKept:
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

int Depth(const CString& key) {
    int depth = 0;
    for (const char* p = key; *p; p += afx::MbsCharLength(p)) depth += *p == '\\';
    return depth;
}

}  // namespace

void RemoveRecordedKeys(const InstallRecord& record, const ServedPlaces& places, const char* root,
                        RecordKind kind, UninstallOutcome& outcome, RunLog& log) {
    // The deepest first, whatever the record's order: an entry before the
    // "Applications" key it is in.
    std::vector<InstallRecord::Key> keys = record.keys;
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return Depth(a.path) > Depth(b.path); });
    for (const InstallRecord::Key& key : keys) {
        if (key.origin != InstallRecord::Origin::New) continue;
        const bool applications = places.IsApplicationsKey(key.path);
        // A user's record is that user's text: of it, only the names of the
        // plug-in's own entries are shown; the rest is counted.
        const CString name = FileNameOf(key.path);
        const bool named =
            kind == RecordKind::Installation || (applications && IsPluginEntryName(name));
        const CString shown = kind == RecordKind::Installation ? root + key.path
                              : named                          ? root + CString("...\\") + name
                                                               : root + CString("...");
        const auto left = [&](WhyLeft why) {
            if (named) {
                NoteLeftItem(outcome, why, shown, log);
                return;
            }
            ++outcome.usersItemsLeft;
            if (why == WhyLeft::NotRemoved) ++outcome.notRemoved;
            log.Write(afx::UiText("an item of a user's record that is not the plug-in's, left: ") +
                      afx::UiText::System(shown));
        };
        if (!applications) {
            left(WhyLeft::Outside);
            continue;
        }
        const LONG result = DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, key.path);
        const bool isApplications = afx::MbsICmp(name, kApplicationsKey) == 0;
        if (result == ERROR_SUCCESS) {
            ++outcome.removedKeys;
            log.Result("remove key", shown, true);
        } else if (result != ERROR_FILE_NOT_FOUND && !isApplications) {
            // "Applications" may hold other add-ons: it stays without a word.
            left(WhyLeft::NotRemoved);
            log.Result("remove key", shown, false, static_cast<DWORD>(result));
        }
    }
}

namespace {

// The uninstaller's own files in the installation folder.
void RemoveOwnFiles(const CString& installFolder, const CString& runningUninstaller,
                    const CString& ownFolder, UninstallOutcome& outcome, RunLog& log) {
    // The machine's copy of the record stays until the end.
    RemoveFile(JoinPath(installFolder, kInstallRecordName));
    DeleteFileA(JoinPath(installFolder, kJournalFileName));
    const CString uninstaller = JoinPath(installFolder, kUninstallerName);
    CString running;
    CString canonicalUninstaller;
    const bool isRunning = CanonicalPath(runningUninstaller, &running) &&
                           CanonicalPath(uninstaller, &canonicalUninstaller) &&
                           running == canonicalUninstaller;
    if (isRunning && !ownFolder.IsEmpty()) {
        // The program that started this run waits for it: its file cannot be
        // deleted, but it can be moved out of the folder, into this run's own.
        const CString moved = JoinPath(ownFolder, kMovedUninstallerName);
        if (MoveFileExA(uninstaller, moved, 0)) {
            MoveFileExA(moved, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            log.Result("move the running uninstaller out of the folder", uninstaller, true);
            return;
        }
        log.Result("move the running uninstaller out of the folder", uninstaller, false,
                   GetLastError());
    }
    DeleteOrSchedule(uninstaller, outcome, log);
}

void RemoveCreatedFolders(const InstallRecord& record, const ServedPlaces& places,
                          UninstallOutcome& outcome, RunLog& log) {
    for (auto folder = record.createdFolders.rbegin(); folder != record.createdFolders.rend();
         ++folder) {
        CString normal;
        if (!places.MayHaveCreated(*folder) || !NormalizePath(*folder, &normal)) {
            log.Write(afx::UiText("not a folder the installation may have made, left: ") +
                      afx::UiText::System(*folder));
            continue;
        }
        // Only empty folders go; one that holds anything else stays as it is.
        if (IsReparsePoint(normal)) continue;
        if (RemoveDirectoryA(normal)) {
            ++outcome.removedFolders;
            log.Result("remove folder", normal, true);
        } else if (!outcome.scheduled.empty()) {
            // Emptied at the next restart, when what is still in use goes.
            MoveFileExA(normal, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
    }
}

}  // namespace

void NoteNotRemoved(UninstallOutcome& outcome, const CString& what) {
    outcome.left.push_back(
        afx::FormatUiText(kReasons[static_cast<int>(WhyLeft::NotRemoved)].boxFormat, {what}));
    ++outcome.notRemoved;
}

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
    RemoveOwnFiles(places.InstallFolder(), runningUninstaller, ownFolder, outcome, log);
    RemoveCreatedFolders(record, places, outcome, log);
    // Last: until now a run killed half way is finished from it by the next.
    DeleteInstallRecord(places.InstallFolder());
}
