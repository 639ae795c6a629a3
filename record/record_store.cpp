#include "record/record_store.h"

#include <windows.h>

#include <string>

#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "run/product_version.h"
#include "run/run_log.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

bool ParseFor(const std::string& text, const CString& installFolder, InstallRecord* record) {
    return ParseInstallRecord(text.c_str(), record) &&
           IsSamePlace(record->installFolder, installFolder);
}

bool ReadRecordFile(const CString& installFolder, InstallRecord* record) {
    std::string text;
    return ReadSmallFile(JoinPath(installFolder, kInstallRecordName), kMaxRecordBytes, &text) &&
           ParseFor(text, installFolder, record);
}

bool ReadMachineCopy(const CString& installFolder, InstallRecord* record) {
    CString copy;
    return ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) &&
           ParseFor(copy.str(), installFolder, record);
}

}  // namespace

RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record) {
    if (ReadRecordFile(installFolder, record)) return RecordSource::File;
    if (ReadMachineCopy(installFolder, record)) return RecordSource::MachineCopy;
    *record = InstallRecord();
    return RecordSource::None;
}

EarlierRecords EarlierRecords::Read() {
    EarlierRecords read;
    read.m_entryFolder = ReadInstalledFolder();
    CString text;
    InstallRecord copy;
    if (ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &text) &&
        ParseInstallRecord(text, &copy)) {
        read.m_copy = copy;
    }
    // The earlier installation's folder: the one Programs and Features
    // names, else (its entry lost) the one the machine's copy describes.
    const CString folder = !read.m_entryFolder.IsEmpty() ? read.m_entryFolder
                           : read.m_copy                 ? read.m_copy->installFolder
                                                         : CString();
    InstallRecord file;
    if (IsAbsolutePath(folder) && ReadRecordFile(folder, &file)) read.m_file = file;
    return read;
}

RecordSource EarlierRecords::RecordOf(const CString& installFolder, InstallRecord* record) const {
    if (m_file && IsSamePlace(m_file->installFolder, installFolder)) {
        *record = *m_file;
        return RecordSource::File;
    }
    if (MachineCopyOf(installFolder, record)) return RecordSource::MachineCopy;
    *record = InstallRecord();
    return RecordSource::None;
}

bool EarlierRecords::MachineCopyOf(const CString& installFolder, InstallRecord* record) const {
    if (!m_copy || !IsSamePlace(m_copy->installFolder, installFolder)) return false;
    *record = *m_copy;
    return true;
}

int EarlierRecords::InstalledVersion() const {
    InstallRecord record;
    if (m_entryFolder.IsEmpty() || !MachineCopyOf(m_entryFolder, &record)) return 0;
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
