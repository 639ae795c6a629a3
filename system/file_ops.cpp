#include "system/file_ops.h"

#include <cstring>
#include <vector>

#include "framework/scoped_handles.h"
#include "text/path_text.h"

namespace {

// Files compared byte for byte are small; a larger one is simply taken for different.
constexpr unsigned long long kMaxComparedBytes = 16 * 1024 * 1024;
constexpr DWORD kCompareChunk = 64 * 1024;

bool ReadChunk(HANDLE file, std::vector<char>& buffer, DWORD* read) {
    return ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), read, nullptr) != FALSE;
}

}  // namespace

bool SameContent(const char* a, const char* b) {
    const unsigned long long size = FileSize(a);
    if (size != FileSize(b) || size > kMaxComparedBytes) return false;
    const afx::ScopedKernelHandle fileA(
        CreateFileA(a, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const afx::ScopedKernelHandle fileB(
        CreateFileA(b, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!fileA || !fileB) return false;
    std::vector<char> chunkA(kCompareChunk);
    std::vector<char> chunkB(kCompareChunk);
    for (;;) {
        DWORD readA = 0;
        DWORD readB = 0;
        if (!ReadChunk(fileA.Get(), chunkA, &readA) || !ReadChunk(fileB.Get(), chunkB, &readB) ||
            readA != readB) {
            return false;
        }
        if (readA == 0) return true;
        if (std::memcmp(chunkA.data(), chunkB.data(), readA) != 0) return false;
    }
}

PathKind GetPathKind(const char* path) {
    WIN32_FIND_DATAA entry;
    const afx::ScopedFindHandle search(FindFirstFileA(path, &entry));
    if (!search) return PathKind::Absent;
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

bool IsReparsePoint(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool RemoveLink(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    ClearReadOnly(path);
    // A folder link goes with RemoveDirectory, which leaves its target alone.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryA(path) != FALSE;
    return DeleteFileA(path) != FALSE;
}

void ClearReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

bool RemoveFile(const char* path) {
    ClearReadOnly(path);
    return DeleteFileA(path) != FALSE;
}

bool RestoreFile(const char* from, const char* to, DWORD attributes) {
    if (!MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) return false;
    if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(to, attributes);
    return true;
}

unsigned long long FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

CString FreeName(const CString& stem, const char* extension) {
    for (int attempt = 1;; ++attempt) {
        const CString name = NumberedName(stem, attempt, extension);
        if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

bool ReadSmallFile(const char* path, DWORD maxBytes, std::string* text) {
    // The link itself is opened, and then refused: never what it leads to.
    const afx::ScopedKernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                                   nullptr));
    LARGE_INTEGER size;
    BY_HANDLE_FILE_INFORMATION information;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > maxBytes ||
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
