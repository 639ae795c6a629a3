// One installation per machine, and an upgrade in place. Before an
// installation changes anything it looks at what earlier ones left: the
// record in its own folder (what that one made stays the plug-in's own, and
// is never kept as a host's file), and the installation Programs and
// Features names in another folder, which this one takes over and moves
// here.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "journal/journal_line.h"
#include "record/install_record.h"

class EarlierRecords;
class InstallJournal;
class ReachNow;
class RunLog;

class EarlierInstallations {
public:
    // `read`: what the run read of the earlier installation at its start.
    EarlierInstallations(const EarlierRecords& read, const CString& installFolder,
                         InstallJournal& journal, RunLog& log)
        : m_read(read), m_installFolder(installFolder), m_journal(journal), m_log(log) {}
    EarlierInstallations(const EarlierInstallations&) = delete;
    EarlierInstallations& operator=(const EarlierInstallations&) = delete;

    // Takes both records from what was read, tells the journal which files
    // are the plug-in's own already, and logs what it found.
    void TakeOver();

    // Into the new installation's record, which holds what is installed now
    // (journal/installed_now.h): what the earlier one here, and what the
    // one elsewhere did for the hosts, installed that this one installed
    // again, or cannot `reach` now; the host files the one elsewhere kept
    // move into this folder through the journal. The rest is left for
    // RemoveNoLongerInstalledAfterCommit.
    void MergeInto(InstallRecord& record, const ReachNow& reach);
    // Once this installation can be uninstalled, what the earlier ones
    // installed that this one does not is removed after the commit: finish
    // lines, which a run killed half way leaves to the next.
    void RemoveNoLongerInstalledAfterCommit();

    // This folder's earlier record (empty when there was none).
    const InstallRecord& Here() const { return m_here; }

    // The installation this one replaces in another folder (its folder's own
    // files go once this one is complete, the host files it kept among them
    // once MergeInto has copied them here); no installation folder when none.
    const InstallRecord& Elsewhere() const { return m_elsewhere; }

    // Once this installation can be uninstalled, the earlier folder
    // elsewhere is the plug-in's no more: its own files (while they are
    // what it recorded), its uninstaller and record, then the folders it
    // created when empty, written as finish lines (a move killed half way
    // is finished by the next run) and named beside the journal's mark.
    void ClearElsewhereAfterCommit();

private:
    void ReadHere();
    void ReadElsewhere();
    // What the installation elsewhere did for the hosts, as this folder's.
    InstallRecord HostsServedElsewhere();

    const EarlierRecords& m_read;
    const CString m_installFolder;
    InstallJournal& m_journal;
    RunLog& m_log;
    InstallRecord m_here;       // this folder's earlier record, when readable
    InstallRecord m_elsewhere;  // the installation this one replaces
    std::vector<JournalLine> m_noLongerInstalled;
};
