#include "lifecycle/record_store.h"

#include <windows.h>

#include <string>

#include "framework/afx_mbcs.h"
#include "framework/scoped_handles.h"
#include "text/path_text.h"

namespace {

// A record larger than this is not one the setup wrote.
constexpr DWORD kMaxRecordBytes = 4 * 1024 * 1024;
constexpr char kTemporaryExtension[] = ".new";

}  // namespace

bool ReadInstallRecord(const CString& installFolder, InstallRecord* record) {
    const CString path = JoinPath(installFolder, kInstallRecordName);
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                                   nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxRecordBytes) {
        return false;
    }
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() &&
        (!ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) ||
         read != text.size())) {
        return false;
    }
    return ParseInstallRecord(text.c_str(), record) &&
           afx::MbsICmp(record->installFolder, installFolder) == 0;
}

bool WriteInstallRecord(const InstallRecord& record) {
    const CString path = JoinPath(record.installFolder, kInstallRecordName);
    const CString temporary = path + kTemporaryExtension;
    const CString text = FormatInstallRecord(record);
    {
        const afx::ScopedKernelHandle file(CreateFileA(
            temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file ||
            !WriteFile(file.Get(), text.GetString(), static_cast<DWORD>(text.GetLength()), &written,
                       nullptr) ||
            written != static_cast<DWORD>(text.GetLength()) || !FlushFileBuffers(file.Get())) {
            DeleteFileA(temporary);
            return false;
        }
    }
    if (MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary);
    return false;
}
