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
    // A plain file of the recorded size whose bytes could not be read, not
    // even after a short wait: held open without sharing (a scanner, a
    // backup agent, a host that opens it exclusively).
    bool unreadable = false;
};

enum class Ownership {
    Own,      // its size and SHA-256 are the recorded ones: the plug-in's
    Changed,  // another size or content: the host's own (or a user's) now
    // the recorded size, but its content cannot be read: in use, never
    // judged changed (the plug-in's file goes at the restart, a host's copy
    // kept for it goes back after it)
    InUse,
    Unproven,     // the record holds no SHA-256 for it: never taken for the plug-in's
    Gone,         // nothing there any more
    NotRecorded,  // the record says it was there before the installation
};

Ownership JudgeRecordedFile(const InstallRecord::File& recorded, const FileNow& now);

// What lies at `path` now, read only as far as needed: a file whose size is
// not `recordedSize` is not hashed (its size is read without opening it). A
// link or a folder there is no file. A file that cannot be read is tried
// again until a scan would have ended (kInUseWaitMs), then unreadable.
FileNow ReadFileNow(const char* path, unsigned long long recordedSize);

// How long a file that cannot be read is tried again in all, and how often.
constexpr unsigned long kInUseWaitMs = 2000;
constexpr unsigned long kInUseRetryMs = 100;
