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
    now.size = FileSize(path);
    CopiedFile content;
    if (now.size == recordedSize && HashFile(path, &content)) {
        now.size = content.size;
        now.sha256 = content.sha256;
    }
    return now;
}
