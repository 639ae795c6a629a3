// What an installation changes, as it changes it. Folders and files are
// created and written through the journal, which keeps every file it
// replaces aside until the installation is complete: an aborted installation
// is undone to the byte, a complete one drops what it kept beside the
// installation folder's files and keeps a host's own files in the
// installation folder, to be put back when the plug-in goes. Registration
// notes the keys it creates. The whole becomes the install record.
//
// Once durable, every change is written to the journal file in the
// installation folder before it is made (and flushed first where it
// overwrites something), and a machine-wide mark names that folder: a run
// that is killed half way is finished or undone by the next run of the
// setup or the uninstaller (journal/recovery.h). The lines the journal
// writes are the changes it keeps: its own rollback and finish go through
// them as that recovery does (journal/journal_work.h). The work a complete
// installation still owes the machine (clearing the folder it moved from,
// say) is written as finish lines with the commit line, then done: killed
// before it is all done, the next run finishes it.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"
#include "journal/earlier_ownership.h"
#include "journal/journal_line.h"
#include "journal/record_of_run.h"
#include "journal/restart_gate.h"
#include "record/install_record.h"
#include "run/run_log.h"
#include "system/file_copy.h"
#include "system/folder_security.h"

class ServedPlaces;

// What the work after a commit left: whether some of it waits for the next
// restart (which completes the installation), and the finish lines that
// could not be done, not even at the restart.
struct FinishedWork {
    bool atNextRestart = false;
    std::vector<JournalLine> notDone;
};

// The journal file in the installation folder.
extern const char kJournalFileName[];

class InstallJournal {
public:
    explicit InstallJournal(RunLog& log) : m_log(log), m_ownership(log), m_restartGate(log) {}
    InstallJournal(const InstallJournal&) = delete;
    InstallJournal& operator=(const InstallJournal&) = delete;

    // From now on every change is written ahead to the journal file in the
    // installation folder; what was done before is written first, and the
    // machine-wide mark names the folder. False when either cannot be
    // written (nothing can then be undone after a crash).
    bool MakeDurable(const CString& installFolder);

    // An earlier installation's record, or a folder known to be the
    // plug-in's whose record was lost (journal/earlier_ownership.h): what
    // they made is replaced as the plug-in's, never kept as a host's own
    // file, while it is still what was installed.
    void TakeOver(const InstallRecord& earlier) { m_ownership.TakeOver(earlier); }
    void TakeOverFolder(const CString& installFolder) { m_ownership.TakeOverFolder(installFolder); }

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
    // taken out first (the file there is the plug-in's leftover).
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

    // A machine entry (the kind of a SavedEntryLine) about to change: its
    // values as they are now written ahead and flushed. False, logged, when
    // they cannot be: the entry must then not be changed.
    bool NoteEntryChange(JournalLine::Kind kind);

    // A key below HKEY_CURRENT_USER about to be created (or deleted and
    // created anew): noted before it is.
    void NoteKey(const CString& path, bool existedBefore);
    // A host installation the installation served (noted once).
    void NoteRelease(int year, const CString& hostFolder, const CString& hostKey) {
        m_record.AddRelease(year, hostFolder, hostKey);
    }

    // Undoes every line this run wrote, as the recovery of a killed run
    // would (journal/journal_work.h), within `places` (all the run may have
    // written: its folders, the host folders and their fonts, the settings
    // folder): files it created go, files it replaced come back with their
    // attributes, new keys go, deletions it took out of the restart's queue
    // are queued again; then the journal file, and last the folders it made
    // when they are empty.
    void Rollback(const ServedPlaces& places);
    // Work for after the commit (a finish line, journal/line_kinds.h),
    // written with the commit line and done by Finish.
    void FinishAfterCommit(const JournalLine& line);
    // An earlier installation folder finish lines clear: named beside the
    // mark, so that a recovery may act there too. False when it cannot be.
    bool NameEarlierFolderBesideMark(const CString& earlierFolder);

    // The installation is complete: the finish lines and the commit line
    // are written, and flushed.
    void Commit();
    // Finishes every line within `places`, as the recovery of a run killed
    // after its commit would: the files kept beside the installation
    // folder's go (at the next restart, when one is still in use), host
    // files stay kept, each finish line is done. Then the journal file and
    // the mark go.
    FinishedWork Finish(const ServedPlaces& places);

    InstallRecord Record(const CString& installFolder) const {
        return m_record.Record(installFolder);
    }
    // The file this installation wrote at `path`, as the record will say;
    // false when it wrote none there.
    bool Written(const CString& path, InstallRecord::File* file) const {
        return m_record.Written(path, file);
    }
    // Files an earlier record called the plug-in's that this installation
    // could not show to be so any more, kept now as the hosts' own (to be put
    // back at uninstall); of them, those whose size or SHA-256 had changed.
    const std::vector<CString>& KeptAsHostsOwn() const { return m_keptAsHostsOwn; }
    const std::vector<CString>& ChangedSince() const { return m_changedSince; }
    // Lines flushed to the disk so far: a flush leaves nothing a reader of
    // the file could see.
    int Flushes() const { return m_flushes; }

private:
    // The plug-in's own queued deletion of `path` is taken out (`takenOut`,
    // also when an earlier attempt at the file took it). False when it
    // cannot be.
    bool ClearRestartQueueFor(const CString& path, bool* takenOut);
    // Removes a link at `path`, never writing through it; `attributes` are
    // what lies there then. False, logged, when the link stays.
    bool ClearLinkAt(const CString& path, DWORD* attributes);
    // The line of a file about to be written, written ahead; a file it
    // replaces renamed aside (into `keepFolder` when one is given). False,
    // logged, when the file must not be written.
    bool WriteAheadOfFile(const CString& destination, DWORD attributes, const CString& keepFolder,
                          JournalLine* line);
    void NoteKeptAsHostsOwn(const CString& path, Ownership ownership);
    // Keeps the line as this run's and writes it to the journal file once
    // durable; false when it could not be written (or flushed, when its
    // kind must be on the disk before its change).
    bool WriteAhead(const JournalLine& line);
    void DropDurableFile();

    RunLog& m_log;
    EarlierOwnership m_ownership;
    RestartGate m_restartGate;
    RecordOfRun m_record;
    std::vector<JournalLine> m_lines;   // this run's, in the order written
    std::vector<JournalLine> m_finish;  // to be written with the commit line
    int m_finishLines = 0;              // of m_lines, once committed
    std::vector<CString> m_keptAsHostsOwn;
    std::vector<CString> m_changedSince;
    CopyBuffer m_copyBuffer;
    afx::ScopedKernelHandle m_durable;
    CString m_durablePath;
    int m_flushes = 0;
};
