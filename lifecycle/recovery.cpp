#include "lifecycle/recovery.h"

#include <algorithm>
#include <string>
#include <vector>

#include "lifecycle/install_journal.h"
#include "lifecycle/journal_line.h"
#include "lifecycle/pending_restart.h"
#include "lifecycle/plugin_key.h"
#include "lifecycle/run_log.h"
#include "lifecycle/served_places.h"
#include "system/file_ops.h"
#include "system/reg_ops.h"
#include "text/path_text.h"

namespace {

// A journal larger than this is not one the setup wrote.
constexpr DWORD kMaxJournalBytes = 16 * 1024 * 1024;

using Kind = JournalLine::Kind;
using Place = ServedPlaces::Place;

// True when the file lies directly in a served place, reached through no link.
bool IsServedFile(const ServedPlaces& places, const CString& path) {
    CString served;
    return places.PlaceOf(path, &served) != Place::None && !PassesThroughLink(served, path);
}

// Undoes one line of an interrupted installation's journal, within the
// served places only.
void UndoLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    if (line.kind == Kind::Key) {
        // Only the plug-in's entries and the "Applications" key made for them.
        const bool removed =
            places.IsApplicationsKey(line.path) &&
            DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, line.path) == ERROR_SUCCESS;
        log.Result("recovery: remove key HKEY_CURRENT_USER\\", line.path, removed);
        return;
    }
    if (!IsServedFile(places, line.path)) {
        log.Write(afx::UiText("recovery: outside the installation's places, left: ") +
                  afx::UiText::System(line.path));
        return;
    }
    if (line.kind == Kind::Folder) {
        if (places.MayHaveCreated(line.path)) RemoveDirectoryA(line.path);
        return;
    }
    if (line.kind == Kind::QueuedDeletion) {
        const bool queued = QueueDeletionAtRestart(line.path);
        log.Result("recovery: queue the deletion at the next restart again:", line.path, queued,
                   queued ? 0 : GetLastError());
        return;
    }
    if (!line.aside.IsEmpty() && !IsServedFile(places, line.aside)) return;
    const bool asideThere = !line.aside.IsEmpty() && GetPathKind(line.aside) == PathKind::File;
    if (line.kind == Kind::New || asideThere) {
        RemoveFile(line.path);
        log.Result("recovery: remove", line.path, GetPathKind(line.path) == PathKind::Absent);
    }
    if (asideThere) {
        const bool back = RestoreFile(line.aside, line.path, INVALID_FILE_ATTRIBUTES);
        log.Result("recovery: put back", line.path, back, back ? 0 : GetLastError());
    }
}

// Complete but for its clean-up: the files kept beside go.
void FinishCommitted(const std::vector<JournalLine>& lines, const ServedPlaces& places) {
    for (const JournalLine& line : lines) {
        if (line.kind == Kind::Replace && IsServedFile(places, line.aside)) RemoveFile(line.aside);
    }
}

}  // namespace

CString InterruptedInstallationFolder() {
    CString folder;
    if (!ReadPluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue, &folder) ||
        !IsAbsolutePath(folder)) {
        return CString();
    }
    return folder;
}

bool RecoverInterruptedInstallation(const ServedPlaces& places, RunLog& log) {
    const CString folder = InterruptedInstallationFolder();
    if (folder.IsEmpty() || !places.IsInstallFolder(folder)) return false;
    const CString path = JoinPath(folder, kJournalFileName);
    std::string text;
    std::vector<JournalLine> lines;
    log.Write(afx::UiText("an interrupted installation was found in ") +
              afx::UiText::System(folder));
    if (!IsReparsePoint(folder) && ReadSmallFile(path, kMaxJournalBytes, &text) &&
        ParseJournal(text.c_str(), &lines)) {
        const bool committed = std::any_of(lines.begin(), lines.end(), [](const JournalLine& l) {
            return l.kind == Kind::Commit;
        });
        if (committed) {
            FinishCommitted(lines, places);
            log.Write("recovery: the installation was complete; finished");
        } else {
            for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
                UndoLine(*line, places, log);
            }
            log.Write("recovery: the installation was undone");
        }
    } else {
        log.Write("recovery: its journal could not be read; nothing undone");
    }
    RemoveFile(path);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue);
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
    return true;
}
