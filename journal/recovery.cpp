#include "journal/recovery.h"

#include <string>
#include <vector>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "journal/install_journal.h"
#include "journal/journal_line.h"
#include "journal/journal_work.h"
#include "journal/record_file.h"
#include "record/served_places.h"
#include "removal/removal_steps.h"
#include "run/product.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

// A journal larger than this is not one the setup wrote.
constexpr DWORD kMaxJournalBytes = 16 * 1024 * 1024;

bool ReadJournal(const CString& folder, std::vector<JournalLine>* lines) {
    std::string text;
    return !IsReparsePoint(folder) &&
           ReadSmallFile(JoinPath(folder, kJournalFileName), kMaxJournalBytes, &text) &&
           ParseJournal(text.c_str(), lines);
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

bool RecoverInterruptedInstallation(const ServedPlaces& served, RunLog& log) {
    const CString folder = InterruptedInstallationFolder();
    if (folder.IsEmpty() || !served.IsInstallFolder(folder)) return false;
    ServedPlaces places = served;
    CString earlier;
    if (ReadPluginValue(HKEY_LOCAL_MACHINE, kEarlierFolderValue, &earlier) &&
        IsAbsolutePath(earlier)) {
        places.AddEarlierInstallFolder(earlier);
    }
    const CString journal = JoinPath(folder, kJournalFileName);
    std::vector<JournalLine> lines;
    log.Write(afx::UiText("an interrupted installation was found in ") +
              afx::UiText::System(folder));
    if (ReadJournal(folder, &lines)) {
        if (IsCommitted(lines)) {
            log.Write("recovery: the installation was complete; its work after the commit is done");
            std::vector<JournalLine> notDone;
            for (const JournalLine& line : lines) {
                if (FinishJournalLine(line, places, log) == LineDone::NotDone) {
                    notDone.push_back(line);
                }
            }
            if (!notDone.empty()) KeepUnfinishedRecorded(folder, notDone, places, log);
        } else {
            log.Write("recovery: the installation is undone");
            UndoJournal(lines, places, log, [&] { RemoveFile(journal); });
        }
    } else {
        log.Write("recovery: its journal could not be read; nothing undone");
        // Killed once its journal had gone, the folder it made may be all there is.
        RemoveFile(journal);
        RemoveFolderWhenEmpty(folder, places, log);
    }
    RemoveFile(journal);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kEarlierFolderValue);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue);
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
    // Entries written just before a commit name what an undo took away.
    DropEntriesOfMissingPrograms(log);
    return true;
}

void DropEntriesOfMissingPrograms(RunLog& log) {
    const CString installed = ReadInstalledFolder();
    if (!installed.IsEmpty() &&
        GetPathKind(JoinPath(installed, kUninstallerName)) != PathKind::File) {
        DeleteUninstallEntry();
        log.Write(afx::UiText("the Programs and Features entry named an uninstaller that is "
                              "gone; removed: ") +
                  afx::UiText::System(installed));
    }
    CString command;
    CString version;
    if (!ReadActiveSetupEntry(&command, &version)) return;
    // "<stage>" /ACTIVESETUP ('"' is no trail byte of a double-byte character)
    const std::string& text = command.str();
    const size_t end = text.size() > 1 && text[0] == '"' ? text.find('"', 1) : std::string::npos;
    const CString stage = end != std::string::npos ? CString(text.substr(1, end - 1)) : CString();
    if (IsAbsolutePath(stage) && GetPathKind(stage) == PathKind::File) return;
    DeleteActiveSetupEntry();
    log.Write(afx::UiText("the Active Setup entry named a stage that is gone; removed: ") +
              afx::UiText::System(command));
}
