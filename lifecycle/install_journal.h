// What an installation changes, as it changes it. The package copy creates
// folders and writes files through the journal, which keeps every file it
// replaces aside (beside it, under another name) until the installation is
// complete: an aborted copy is undone to the byte, and a complete
// installation drops what it kept. Host deployment and registration note
// what they wrote, and the whole becomes the install record.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/afx_string.h"
#include "lifecycle/install_record.h"
#include "lifecycle/step_account.h"

class InstallJournal {
public:
    InstallJournal() = default;
    InstallJournal(const InstallJournal&) = delete;
    InstallJournal& operator=(const InstallJournal&) = delete;

    // Creates one folder level (its parent must exist); true when the folder
    // is there afterwards. Noted when this call made it.
    bool CreateFolder(const CString& path);

    // Copies `source` to `destination`. A file already there is renamed aside
    // first and put back should the copy fail; a link in its place is
    // removed, never written through. `origin` is what the record says of a
    // file that was not there before (New, or Settings for the user's own).
    // False, with GetLastError() set, when the destination could not be
    // written: it is then as it was.
    bool InstallFile(const CString& source, const CString& destination,
                     InstallRecord::Origin origin = InstallRecord::Origin::New);

    // A file written where nothing is undone (a host folder).
    void NoteFile(const CString& path, bool existedBefore);
    // A key created (or deleted and created anew) below HKEY_CURRENT_USER.
    void NoteKey(const CString& path, bool existedBefore);
    // A host installation the installation served.
    void NoteRelease(int year, const CString& hostFolder, const CString& hostKey);

    // Undoes the folders and files, newest first: files it created go, files
    // it replaced come back with their attributes, folders it created go when
    // they are empty. Notes stay as they are.
    void Rollback();
    // The installation is complete: the files kept aside go (at the next
    // restart, when one is still in use).
    void Commit();

    InstallRecord Record(const CString& installFolder) const;

private:
    struct Change {
        bool isFolder;
        CString path;
        CString aside;  // the earlier file, renamed; empty when there was none
        DWORD oldAttributes;
        unsigned long long size;
        InstallRecord::Origin origin;
    };

    std::vector<Change> m_changes;
    std::vector<InstallRecord::File> m_notedFiles;
    std::vector<InstallRecord::Key> m_notedKeys;
    std::vector<InstallRecord::Release> m_releases;
};

// What an installation did and what it did not do, handed through every step.
struct InstallLog {
    InstallJournal journal;
    StepAccount account;
};
