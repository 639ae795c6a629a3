#include "system/file_copy.h"

#include <windows.h>

#include <vector>

#include "framework/scoped_handles.h"
#include "system/file_ops.h"
#include "system/sha256.h"

namespace {

// Large enough that a file takes few system calls, small enough that the
// piece just read is still in the processor's cache when it is hashed and
// written.
constexpr DWORD kCopyPiece = 256 * 1024;
// The attributes a new file takes from its source; read-only never.
constexpr DWORD kCopiedAttributes =
    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

afx::ScopedKernelHandle OpenToRead(const char* path) {
    return afx::ScopedKernelHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Reads the whole file piece by piece, each piece hashed and handed on.
template <typename Piece>
bool ReadAll(HANDLE file, CopyBuffer& buffer, CopiedFile* content, Piece&& piece) {
    buffer.resize(kCopyPiece);
    Sha256 hash;
    content->size = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), kCopyPiece, &read, nullptr)) return false;
        if (read == 0) break;
        hash.Update(buffer.data(), read);
        if (!piece(buffer.data(), read)) return false;
        content->size += read;
    }
    content->sha256 = CString(hash.FinishHex());
    return true;
}

}  // namespace

bool CopyToNewFile(const char* source, const char* destination, CopyBuffer& buffer,
                   CopiedFile* copied) {
    // By name: asking the open handle costs Wine a round trip to its server.
    WIN32_FILE_ATTRIBUTE_DATA information;
    if (!GetFileAttributesExA(source, GetFileExInfoStandard, &information)) return false;
    const afx::ScopedKernelHandle from = OpenToRead(source);
    if (!from) return false;
    const DWORD attributes = information.dwFileAttributes & kCopiedAttributes;
    bool whole = false;
    {
        // CREATE_NEW: never a file, folder or link that is already there.
        const afx::ScopedKernelHandle to(
            CreateFileA(destination, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!to) return false;
        whole = ReadAll(from.Get(), buffer, copied,
                        [&](const unsigned char* bytes, DWORD size) {
                            DWORD written = 0;
                            if (!WriteFile(to.Get(), bytes, size, &written, nullptr)) return false;
                            // A write cut short sets no error: the volume is full.
                            if (written != size) SetLastError(ERROR_DISK_FULL);
                            return written == size;
                        }) &&
                SetFileTime(to.Get(), nullptr, nullptr, &information.ftLastWriteTime);
    }
    if (!whole) {
        const DWORD error = GetLastError();
        RemoveFile(destination);
        SetLastError(error);
    }
    return whole;
}

bool HashFile(const char* path, CopiedFile* content) {
    const afx::ScopedKernelHandle file = OpenToRead(path);
    CopyBuffer buffer;
    return file &&
           ReadAll(file.Get(), buffer, content, [](const unsigned char*, DWORD) { return true; });
}
