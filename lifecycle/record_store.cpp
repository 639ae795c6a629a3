#include "lifecycle/record_store.h"

#include <windows.h>

#include <string>

#include "lifecycle/install_journal.h"
#include "lifecycle/plugin_key.h"
#include "lifecycle/product_version.h"
#include "lifecycle/run_log.h"
#include "lifecycle/uninstall_entry.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

// A record larger than this is not one the setup wrote.
constexpr DWORD kMaxRecordBytes = 4 * 1024 * 1024;

bool ParseFor(const std::string& text, const CString& installFolder, InstallRecord* record) {
    return ParseInstallRecord(text.c_str(), record) &&
           IsSamePath(record->installFolder, installFolder);
}

}  // namespace

RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record) {
    std::string text;
    if (ReadSmallFile(JoinPath(installFolder, kInstallRecordName), kMaxRecordBytes, &text) &&
        ParseFor(text, installFolder, record)) {
        return RecordSource::File;
    }
    if (ReadInstallRecordMachineCopy(installFolder, record)) return RecordSource::MachineCopy;
    *record = InstallRecord();
    return RecordSource::None;
}

bool ReadInstallRecordMachineCopy(const CString& installFolder, InstallRecord* record) {
    CString copy;
    return ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) &&
           ParseFor(copy.str(), installFolder, record);
}

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

int InstalledVersion() {
    const CString folder = ReadInstalledFolder();
    InstallRecord record;
    CString copy;
    if (folder.IsEmpty() || !ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) ||
        !ParseFor(copy.str(), folder, &record)) {
        return 0;
    }
    return ParseSetupVersion(record.version);
}

void DeleteInstallRecord(const CString& installFolder) {
    const CString path = JoinPath(installFolder, kInstallRecordName);
    RemoveFile(path);
    InstallRecord copy;
    CString text;
    if (ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &text) &&
        ParseFor(text.str(), installFolder, &copy)) {
        DeletePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue);
    }
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
}
