// The installation proper, whoever runs it: the setup dialog (its progress
// bar, its boxes) or an unattended run (no window, or the dialog showing
// progress only, every box answered and logged by the silent responder).
// It starts once the folder and the package have passed their checks, and
// does everything else in a fixed order: the installation folder, made and
// protected; the journal, made durable; the package copy; registration and
// host deployment; the per-user stage, the uninstaller, the record and the
// Programs and Features entry, each checked; the stage entered in Active
// Setup, so that every other user of the machine gets the plug-in at logon;
// the earlier installation moved here when it was elsewhere; the journal
// committed.
#pragma once

#include <windows.h>

#include <array>

#include "deploy/progress_sink.h"
#include "framework/afx_string.h"
#include "hosts/host_registry.h"
#include "lifecycle/install_journal.h"

struct InstallRequest {
    CString setupFolder;    // where the package is: the setup program's folder
    CString chosenFolder;   // absolute, no trailing backslash (a drive root: "D:")
    CString installFolder;  // the chosen folder and "\T-ZozerIded"
    std::array<bool, kHostReleaseCount> releases{};
    // The account that runs the setup has a profile of its own to serve
    // (not the system account or another service account): its host
    // profiles, its settings file and its Active Setup stamp.
    bool servesOwnProfile = true;
};

enum class InstallResult {
    Complete,    // everything was done
    Incomplete,  // installed, but the account lists steps not done
    Aborted,     // the copy was given up (Abort, or the dialog closed): undone
    Failed,      // stopped and undone (the user has been told)
};

class Installation {
public:
    // `owner` owns the boxes of the run (none for an unattended one).
    Installation(const InstallRequest& request, HostInstallRegistry& registry,
                 ProgressSink& progress, RunLog& log, HWND owner);
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    InstallResult Run();
    // What was not done; shown or logged by the caller.
    const StepAccount& Account() const { return m_log.account; }

private:
    // Looks at what an earlier installation left: the record in this
    // folder (its items stay the plug-in's), or the one elsewhere that this
    // installation replaces.
    void TakeOverEarlier();
    bool MakeInstallationFolder();
    bool Stop(const char* format, const CString& what, DWORD error);
    // The per-user stage beside the uninstaller; false when it is not there.
    bool WriteUserStage();
    // The uninstaller, the record and the entry; nothing of the entry when
    // the first two are not complete. True when all three are there.
    bool SetUpUninstall();
    // The stage in Active Setup, and the account that ran the setup stamped
    // as served unless it has no profile of its own or lacks a host's.
    void EnterUserStage();
    bool OwnProfileMissing() const;
    // Brings what an installation elsewhere did for the hosts into this one.
    void MoveEarlierInto(InstallRecord& record);

    const InstallRequest& m_request;
    HostInstallRegistry& m_registry;
    ProgressSink& m_progress;
    HWND m_owner;
    InstallLog m_log;
    InstallRecord m_earlierHere;       // this folder's earlier record, when readable
    InstallRecord m_earlierElsewhere;  // the installation this one replaces
};
