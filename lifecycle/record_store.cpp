#include "lifecycle/record_store.h"

#include <windows.h>

#include <string>

#include "framework/scoped_handles.h"
#include "lifecycle/file_ops.h"
#include "lifecycle/install_journal.h"
#include "lifecycle/plugin_key.h"
#include "lifecycle/run_log.h"
#include "text/path_text.h"

namespace {

// A record larger than this is not one the setup wrote.
constexpr DWORD kMaxRecordBytes = 4 * 1024 * 1024;

bool ReadRecordFile(const CString& path, std::string* text) {
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                                   nullptr));
    LARGE_INTEGER size;
    BY_HANDLE_FILE_INFORMATION information;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxRecordBytes ||
        !GetFileInformationByHandle(file.Get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    text->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    return text->empty() ||
           (ReadFile(file.Get(), &(*text)[0], static_cast<DWORD>(text->size()), &read, nullptr) &&
            read == text->size());
}

bool ParseFor(const std::string& text, const CString& installFolder, InstallRecord* record) {
    return ParseInstallRecord(text.c_str(), record) &&
           IsSamePath(record->installFolder, installFolder);
}

}  // namespace

RecordSource ReadInstallRecord(const CString& installFolder, InstallRecord* record) {
    std::string text;
    if (ReadRecordFile(JoinPath(installFolder, kInstallRecordName), &text) &&
        ParseFor(text, installFolder, record)) {
        return RecordSource::File;
    }
    CString copy;
    if (ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) &&
        ParseFor(copy.str(), installFolder, record)) {
        return RecordSource::MachineCopy;
    }
    *record = InstallRecord();
    return RecordSource::None;
}

bool WriteInstallRecord(const InstallRecord& record, InstallJournal& journal, RunLog& log) {
    const CString path = JoinPath(record.installFolder, kInstallRecordName);
    const CString text = FormatInstallRecord(record);
    const bool written = journal.InstallData(path, text.GetString(), text.GetLength());
    std::string back;
    const bool fileChecked = written && ReadRecordFile(path, &back) && back == text.str();
    log.Result("install record", path, fileChecked, fileChecked ? 0 : GetLastError());
    CString copy;
    const bool copyChecked =
        fileChecked && WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, text) &&
        ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &copy) && copy == text;
    log.Result("install record copy HKEY_LOCAL_MACHINE\\", kPluginKey, copyChecked,
               copyChecked ? 0 : GetLastError());
    return fileChecked && copyChecked;
}

void DeleteInstallRecord(const CString& installFolder) {
    const CString path = JoinPath(installFolder, kInstallRecordName);
    ClearReadOnly(path);
    DeleteFileA(path);
    InstallRecord copy;
    CString text;
    if (ReadPluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, &text) &&
        ParseFor(text.str(), installFolder, &copy)) {
        DeletePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue);
    }
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
}
