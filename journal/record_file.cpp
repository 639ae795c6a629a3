#include "journal/record_file.h"

#include <string>

#include "entries/plugin_key.h"
#include "journal/install_journal.h"
#include "record/record_store.h"
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
    const bool copyChecked =
        fileChecked && WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, text) &&
        ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) && copy == text;
    log.Result("install record copy HKEY_LOCAL_MACHINE\\", kPluginKey, copyChecked,
               copyChecked ? 0 : GetLastError());
    return fileChecked && copyChecked;
}
