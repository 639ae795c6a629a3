// The record an installation leaves in its folder: which folders, files and
// registry entries it created or replaced, for which releases and hosts, so
// that the uninstaller removes exactly what the installation added and a
// person asking for support can read what happened. Plain text in the ANSI
// code page, one item per line, fields separated by tabs. Platform-free.
#pragma once

#include <vector>

#include "framework/afx_string.h"

// The record's file name in the installation folder.
extern const char kInstallRecordName[];

struct InstallRecord {
    enum class Origin {
        New,       // the installation created it: the uninstaller removes it
        Replaced,  // it was there before: the uninstaller leaves it
        Settings,  // the user's settings: always left
    };
    struct File {
        CString path;
        unsigned long long size;  // as installed; a file of another size has changed since
        Origin origin;
    };
    struct Key {
        CString path;  // below HKEY_CURRENT_USER
        Origin origin;
    };
    struct Release {
        int year;
        CString hostFolder;
        CString hostKey;  // below HKEY_CURRENT_USER, ending with a backslash
    };

    CString version;
    CString installFolder;
    std::vector<Release> releases;
    std::vector<CString> createdFolders;  // in the order they were created
    std::vector<File> files;
    std::vector<Key> keys;

    // Takes in what an earlier installation into the same folder recorded:
    // what it created stays the installations' to remove even though it was
    // there when this one ran, and what this one did not touch again is kept.
    void MergeEarlier(const InstallRecord& earlier);
};

CString FormatInstallRecord(const InstallRecord& record);
// False when a line the record needs is malformed; lines of unknown kinds
// and comments are passed over.
bool ParseInstallRecord(const char* text, InstallRecord* record);
