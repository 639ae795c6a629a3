// The one copy that puts a file in place: it hashes the bytes as it writes
// them, so that the record can say what was installed without reading the
// file a second time, and it only ever creates a new file, so that nothing
// is written through whatever may lie at the destination.
#pragma once

#include "framework/afx_string.h"

#include <vector>

// The piece of memory a copy goes through, kept by the caller for the next
// copy: a fresh one for every file would be paged in anew each time.
using CopyBuffer = std::vector<unsigned char>;

struct CopiedFile {
    unsigned long long size = 0;
    CString sha256;  // of the bytes written, lower-case hexadecimal
};

// Copies `source` to `destination`, which must not exist (a file, folder or
// link there fails the copy with ERROR_FILE_EXISTS), with the source's last
// write time and attributes but read-only: what is installed stays
// writable for the next installation and the uninstaller. False, with
// GetLastError() set, when the copy is not whole; what it began is removed.
bool CopyToNewFile(const char* source, const char* destination, CopyBuffer& buffer,
                   CopiedFile* copied);

// The size and SHA-256 of a file, read once. False when it cannot be read.
bool HashFile(const char* path, CopiedFile* content);
