// Whose a recorded file is now. A CAD updates itself, a user puts back a
// file of their own: what an installation wrote is the plug-in's own only
// while its content is what the plug-in put there. Every step that would
// replace or remove a file the record names asks this one rule: a later
// installation, the move of an earlier one, the uninstaller. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "record/install_record.h"

// What lies at a recorded path now.
struct FileNow {
    bool present = false;  // anything: a file, or a folder or link in its place
    unsigned long long size = 0;
    // SHA-256 of its bytes, lower-case hexadecimal; empty when it was not
    // read (its size already tells it apart, or it is no plain file) or
    // could not be read.
    CString sha256;
};

enum class Ownership {
    Own,          // its size and SHA-256 are the recorded ones: the plug-in's
    Changed,      // another size or content: the host's own (or a user's) now
    Unproven,     // the record holds no SHA-256 for it: never taken for the plug-in's
    Gone,         // nothing there any more
    NotRecorded,  // the record says it was there before the installation
};

Ownership JudgeRecordedFile(const InstallRecord::File& recorded, const FileNow& now);

// What lies at `path` now, read only as far as needed: a file whose size is
// not `recordedSize` is not hashed. A link or a folder there is no file.
FileNow ReadFileNow(const char* path, unsigned long long recordedSize);
