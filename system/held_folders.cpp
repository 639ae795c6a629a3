#include "system/held_folders.h"

#include <windows.h>

#include "system/file_ops.h"
#include "text/path_text.h"

bool AbsoluteNormalPath(const char* path, CString* normal) {
    const DWORD size = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (size == 0) return false;
    std::vector<char> full(size);
    const DWORD length = GetFullPathNameA(path, size, full.data(), nullptr);
    return length > 0 && length < size && NormalizePath(full.data(), normal);
}

HeldFolders::Outcome HeldFolders::Hold(const CString& normalPath, CString* at) {
    // The folders below the root ("C:\" or "\\server\share", the server's own),
    // the nearest first.
    std::vector<CString> folders;
    for (CString folder = ParentFolder(normalPath);
         IsAbsolutePath(AsFolderPath(ParentFolder(folder))); folder = ParentFolder(folder)) {
        folders.push_back(folder);
    }
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        afx::ScopedKernelHandle handle(CreateFileA(
            *folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!handle) {
            const DWORD error = GetLastError();
            *at = *folder;
            SetLastError(error);
            return Outcome::Unopened;
        }
        // Asked of the name once it is held, so the answer stays true. (Wine
        // follows a folder link even when asked not to, and tells it only
        // by the name.)
        if (IsReparsePoint(*folder)) {
            *at = *folder;
            return Outcome::Link;
        }
        m_held.push_back(std::move(handle));
    }
    return Outcome::Held;
}
