#include "journal/record_file.h"

#include <string>

#include "entries/plugin_key.h"
#include "journal/install_journal.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "text/path_text.h"

bool WriteInstallRecord(const InstallRecord& record, InstallJournal& journal, RunLog& log) {
    const CString path = JoinPath(record.installFolder, kInstallRecordName);
    const CString text = FormatInstallRecord(record);
    const bool written = journal.InstallData(path, text.GetString(), text.GetLength());
    std::string back;
    const bool fileChecked =
        written && ReadSmallFile(path, kMaxRecordBytes, &back) && back == text.str();
    log.Result("install record", path, fileChecked, fileChecked ? 0 : GetLastError());
    CString copy;
    // The earlier copy is written ahead: an undone installation puts it back.
    const bool copyChecked =
        fileChecked && journal.NoteEntryChange(JournalLine::Kind::RecordCopy) &&
        WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, text) &&
        ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) && copy == text;
    log.Result("install record copy HKEY_LOCAL_MACHINE\\", kPluginKey, copyChecked,
               copyChecked ? 0 : GetLastError());
    return fileChecked && copyChecked;
}

bool KeepUnfinishedRecorded(const CString& installFolder, const std::vector<JournalLine>& notDone,
                            const ServedPlaces& places, RunLog& log) {
    InstallRecord record;
    if (ReadInstallRecord(installFolder, &record) == RecordSource::None) return false;
    for (const JournalLine& line : notDone) {
        const bool putBack = line.kind == JournalLine::Kind::PutBack;
        if ((!putBack && line.kind != JournalLine::Kind::RemoveFile) ||
            places.PlaceOf(line.path) == ServedPlaces::Place::EarlierInstallation) {
            continue;
        }
        log.Write(afx::UiText("not done, not even at the next restart; stays recorded: ") +
                  afx::UiText::System(line.path));
        // The plug-in's file in the place, which a put-back is judged by.
        record.files.push_back({line.path, line.size, InstallRecord::Origin::New, line.sha256});
        if (putBack) record.keptFiles.push_back({line.path, line.aside});
    }
    InstallJournal journal(log);
    const bool written =
        journal.MakeDurable(installFolder) && WriteInstallRecord(record, journal, log);
    if (written) {
        journal.Commit();
        journal.Finish(places);
    } else {
        journal.Rollback(places);
    }
    return written;
}
