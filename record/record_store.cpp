#include "record/record_store.h"

#include <windows.h>

#include <optional>
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

// The machine's copy, whole, whichever folder it describes.
std::optional<InstallRecord> ReadMachineCopy() {
    CString text;
    InstallRecord copy;
    if (!ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &text) ||
        !ParseInstallRecord(text, &copy)) {
        return std::nullopt;
    }
    return copy;
}

// The one rule of which record is believed: the machine's copy, which only
// administrators can write, whenever the machine holds one; the file in the
// folder only on a machine whose copy is lost or damaged. A file that names
// what the copy does not (a line an earlier version's user-changeable folder
// let somebody add) never counts beside it, and one a line was dropped from
// takes nothing away from it. A copy of another folder's record says the
// installation is there, and the file here is a leftover or a plant.
RecordSource Believed(const CString& installFolder, const std::optional<InstallRecord>& copy,
                      const std::optional<InstallRecord>& file, InstallRecord* record) {
    const std::optional<InstallRecord>& believed = copy ? copy : file;
    if (!believed || !IsSamePlace(believed->installFolder, installFolder)) {
        *record = InstallRecord();
        return RecordSource::None;
    }
    *record = *believed;
    return copy ? RecordSource::MachineCopy : RecordSource::File;
}

}  // namespace

RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record) {
    std::optional<InstallRecord> file = InstallRecord();
    if (!ReadRecordFile(installFolder, &*file)) file.reset();
    return Believed(installFolder, ReadMachineCopy(), file, record);
}

EarlierRecords EarlierRecords::Read() {
    EarlierRecords read;
    read.m_entryFolder = ReadInstalledFolder();
    read.m_copy = ReadMachineCopy();
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
    return Believed(installFolder, m_copy, m_file, record);
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
