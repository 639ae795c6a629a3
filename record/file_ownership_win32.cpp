#include <windows.h>

#include "record/file_ownership.h"
#include "system/file_copy.h"
#include "system/file_ops.h"

FileNow ReadFileNow(const char* path, unsigned long long recordedSize) {
    FileNow now;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return now;
    now.present = true;
    // Only a plain file can still be what was installed: a folder or a link
    // is not read, and so never taken for it.
    if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return now;
    // Read from the directory, without opening the file: known even while
    // another program holds it without sharing.
    now.size = FileSize(path);
    if (now.size != recordedSize) return now;
    const DWORD start = GetTickCount();
    for (;;) {
        CopiedFile content;
        if (HashFile(path, &content)) {
            now.size = content.size;
            now.sha256 = content.sha256;
            return now;
        }
        // Gone meanwhile: nothing there any more.
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return FileNow();
        if (GetTickCount() - start >= kInUseWaitMs) break;
        Sleep(kInUseRetryMs);
    }
    now.unreadable = true;
    return now;
}
