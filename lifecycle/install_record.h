// The record an installation leaves in its folder: which folders, files and
// registry entries it created or replaced, for which releases and hosts, so
// that the uninstaller removes exactly what the installation added and a
// person asking for support can read what happened. Plain text in the ANSI
// code page, one item per line, fields separated by tabs. Platform-free.
#pragma once

#include <string>
#include <vector>

#include "framework/afx_string.h"

// The record's file name in the installation folder.
extern const char kInstallRecordName[];
// Where the host files an installation replaced are kept, in its folder.
extern const char kKeptFilesFolder[];
// Where the package's settings file is kept, in its folder, for the users
// the per-user stage serves after the package is gone.
extern const char kSettingsCopyFolder[];

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
    // A host's own file the installation replaced, kept in the installation
    // folder to be put back when the plug-in goes.
    struct KeptFile {
        CString path;    // in the host folder
        CString keptAs;  // in the installation folder
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
    std::vector<KeptFile> keptFiles;

    // Takes in what an earlier installation into the same folder recorded:
    // what it created stays the installations' to remove even though it was
    // there when this one ran, and what this one did not touch again is kept.
    void MergeEarlier(const InstallRecord& earlier);
};

// One line of an installation's journal file, written and flushed before
// the change it names is made, so that a run killed half way can be undone.
struct JournalLine {
    enum class Kind {
        Folder,   // created
        New,      // a file about to be written where there was none
        Replace,  // a file about to be renamed aside, then written anew
        Keep,     // the same, the earlier file kept in the installation folder
        Key,      // a key below HKEY_CURRENT_USER about to be created
        Commit,   // the installation is complete: finish it, never undo it
    };
    Kind kind;
    CString path;
    CString aside;  // Replace and Keep: where the earlier file went
};

std::string FormatJournalLine(const JournalLine& line);
// The lines of a journal file in order. A last line without its line end
// was torn by the crash and its change never started: it is dropped, as
// are lines of unknown kinds. False when a complete line is damaged.
bool ParseJournal(const char* text, std::vector<JournalLine>* lines);

CString FormatInstallRecord(const InstallRecord& record);
// False when a line the record needs is malformed; lines of unknown kinds
// and comments are passed over.
bool ParseInstallRecord(const char* text, InstallRecord* record);
