#include "record/record_store.h"

#include <windows.h>

#include <string>

#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "run/product_version.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

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

bool ReadUserRecord(InstallRecord* record) {
    CString text;
    return ReadPluginValue(HKEY_CURRENT_USER, kUserRecordValue, &text) &&
           ParseInstallRecord(text, record);
}

bool WriteUserRecord(const InstallRecord& record) {
    return WritePluginValue(HKEY_CURRENT_USER, kUserRecordValue, FormatInstallRecord(record));
}
