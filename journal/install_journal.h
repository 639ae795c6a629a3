// What an installation changes, as it changes it. Folders and files are
// created and written through the journal, which keeps every file it
// replaces aside until the installation is complete: an aborted installation
// is undone to the byte, a complete one drops what it kept beside the
// installation folder's files and keeps a host's own files in the
// installation folder, to be put back when the plug-in goes. Registration
// notes the keys it creates. The whole becomes the install record.
//
// Once durable, every change is written to the journal file in the
// installation folder, and flushed, before it is made, and a machine-wide
// mark names that folder: a run that is killed half way is finished or
// undone by the next run of the setup or the uninstaller
// (journal/recovery.h). The work a complete installation still owes the
// machine (clearing the folder it moved from, say) is written as finish
// lines with the commit line, then done: killed before it is all done, the
// next run finishes it.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"
#include "journal/journal_line.h"
#include "journal/pending_restart.h"
#include "record/file_ownership.h"
#include "record/install_record.h"
#include "run/run_log.h"
#include "system/file_copy.h"
#include "system/folder_security.h"

class ServedPlaces;

// The journal file in the installation folder.
extern const char kJournalFileName[];

class InstallJournal {
public:
    explicit InstallJournal(RunLog& log) : m_log(log) {}
    InstallJournal(const InstallJournal&) = delete;
    InstallJournal& operator=(const InstallJournal&) = delete;

    // From now on every change is written ahead to the journal file in the
    // installation folder; what was done before is written first, and the
    // machine-wide mark names the folder. False when either cannot be
    // written (nothing can then be undone after a crash).
    bool MakeDurable(const CString& installFolder);

    // An earlier installation's record: a file it made is the plug-in's own
    // where this one meets it again, while it is still what was installed
    // (record/file_ownership.h): it is replaced as the plug-in's, never
    // kept as a host's own file. One that changed since is the host's now.
    void TakeOver(const InstallRecord& earlier);
    // No readable record, but the folder is known to be the plug-in's: the
    // files in it are the plug-in's own.
    void TakeOverFolder(const CString& installFolder);

    // Creates one folder level (its parent must exist), by default with the
    // installation folder's protected descriptor; true when the folder is
    // there afterwards. Noted when this call made it.
    bool CreateFolder(const CString& path, NewFolderAccess access = NewFolderAccess::Protected);
    // Creates every missing level of the path from the top down, each noted
    // and protected; true when the folder is there afterwards.
    bool CreateFolderChain(const CString& path);

    // Copies `source` to `destination`, hashing the bytes it writes for the
    // record. A file already there is renamed aside first (into `keepFolder`,
    // made when first needed, when one is given: a host's own file, kept for
    // good) and put back should the copy fail; a link in its place is
    // removed, never written through. `origin` is what the record says of a
    // file that was not there before (New, or Settings for the user's own).
    // The plug-in's own deletion of the path queued for the next restart is
    // taken out first (the file there is the plug-in's leftover); anything
    // else queued for it refuses the file (error exit_code::kRestartFirst).
    // False, with GetLastError() set, when the destination could not be
    // written: it is then as it was.
    bool InstallFile(const CString& source, const CString& destination,
                     InstallRecord::Origin origin = InstallRecord::Origin::New,
                     const CString& keepFolder = CString());

    // A file an earlier installation wrote, still as its record says (the
    // ownership rule), installed again as it is: nothing on disk changes,
    // and the record says this installation wrote it. An installation from
    // the package the installation keeps takes that package's files so.
    // False, logged, when the file is not what was recorded.
    bool KeepAsInstalled(const CString& path);

    // The bytes written to a new file beside `destination`, then installed
    // from there like any file (New), so that only a whole file takes its
    // place. False, with GetLastError() set, when it is not there whole.
    bool InstallData(const CString& destination, const void* data, unsigned long size);

    // A key below HKEY_CURRENT_USER about to be created (or deleted and
    // created anew): noted before it is.
    void NoteKey(const CString& path, bool existedBefore);
    // A host installation the installation served (noted once).
    void NoteRelease(int year, const CString& hostFolder, const CString& hostKey);

    // Undoes the folders, files and new keys, newest first: files it created
    // go, files it replaced come back with their attributes, folders it
    // created go when they are empty, deletions it took out of the restart's
    // queue are queued again. The journal file goes too.
    void Rollback();
    // Work for after the commit (a finish line, journal/journal_line.h),
    // written with the commit line and done by Finish.
    void FinishAfterCommit(const JournalLine& line);
    // An earlier installation folder finish lines clear: named beside the
    // mark, so that a recovery may act there too. False when it cannot be.
    bool NameEarlierFolderBesideMark(const CString& earlierFolder);

    // The installation is complete: the commit line and the finish lines
    // are written, the files kept beside the installation folder's go (at
    // the next restart, when one is still in use), host files stay kept.
    // The journal file and the mark go, unless finish lines wait for Finish.
    // Returns the files left to the next restart.
    std::vector<CString> Commit();
    // Does the finish lines within `places`, then the journal file and the
    // mark go.
    void Finish(const ServedPlaces& places);

    InstallRecord Record(const CString& installFolder) const;
    // The file this installation wrote at `path`, as the record will say;
    // false when it wrote none there.
    bool Written(const CString& path, InstallRecord::File* file) const;
    // Files an earlier record called the plug-in's that this installation
    // could not show to be so any more, kept now as the hosts' own (to be put
    // back at uninstall); of them, those whose size or SHA-256 had changed.
    const std::vector<CString>& KeptAsHostsOwn() const { return m_keptAsHostsOwn; }
    const std::vector<CString>& ChangedSince() const { return m_changedSince; }
    // Lines flushed to the disk so far: a flush leaves nothing a reader of
    // the file could see.
    int Flushes() const { return m_flushes; }

private:
    struct Change {
        // AsInstalled: a file left as an earlier installation wrote it.
        enum class Kind { Folder, File, AsInstalled, Key, QueuedDeletion };
        Kind kind;
        CString path;
        CString aside;  // the earlier file, renamed; empty when there was none
        bool keep;      // the earlier file is a host's own, kept for good
        DWORD oldAttributes;
        unsigned long long size;
        InstallRecord::Origin origin;
        CString sha256;
    };
    struct Recorded {
        CString canonical;
        InstallRecord::File file;
    };

    // Own when the file at `path` is the plug-in's: in an installation folder
    // taken over whole, or recorded and still as installed (logged when not).
    Ownership OwnershipNow(const CString& path);
    // What the next restart would do to `path`: the uninstaller's own queued
    // deletion is taken out (`takenOut`, also when an earlier attempt at the
    // file took it), anything else refuses the file.
    bool ClearRestartQueueFor(const CString& path, bool* takenOut);
    // Writes one line ahead of its change; false when it could not be flushed.
    bool WriteAhead(JournalLine::Kind kind, const CString& path, const CString& aside = CString());
    bool WriteAhead(const JournalLine& line);
    void DropDurableFile();

    RunLog& m_log;
    std::vector<Change> m_changes;
    std::vector<JournalLine> m_finish;
    std::vector<InstallRecord::Release> m_releases;
    std::vector<Recorded> m_recorded;  // what earlier installations made
    CString m_ownFolder;               // canonical: an installation folder taken over whole
    std::vector<CString> m_keptAsHostsOwn;
    std::vector<CString> m_changedSince;
    std::optional<RestartQueue> m_restartQueue;  // read at the first file
    CopyBuffer m_copyBuffer;
    afx::ScopedKernelHandle m_durable;
    CString m_durablePath;
    int m_flushes = 0;
};
