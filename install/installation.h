// The installation proper, whoever runs it: the setup dialog (its progress
// bar, its boxes) or an unattended run (no window, or the dialog showing
// progress only, every box answered and logged by the silent responder).
// It starts once the folder and the package have passed their checks, and
// does everything else in a fixed order: the installation folder, made and
// protected; the journal, made durable; the package copy; registration and
// host deployment; the per-user stage, the uninstaller, the record and the
// Programs and Features entry, each checked; the stage entered in Active
// Setup, so that every other user of the machine gets the plug-in at logon;
// the journal committed with the work it still owes (what the earlier
// installation had that this one does not removed, its folder elsewhere
// cleared), which is then done.
#pragma once

#include <windows.h>

#include "deploy/progress_sink.h"
#include "framework/afx_string.h"
#include "hosts/found_hosts.h"
#include "journal/earlier_installation.h"
#include "journal/install_context.h"
#include "journal/installed_now.h"
#include "run/run_contract.h"

// Where an installation takes the package from.
enum class PackageSource {
    BesideProgram,  // the package SetUp.exe was started from
    // The package the installation keeps in its folder: Uninstall.exe's
    // repair and modify, into that folder, without the package it came from.
    KeptByInstallation,
};

struct InstallRequest {
    PackageSource source = PackageSource::BesideProgram;
    // Where the package is: the setup program's folder, or the installation
    // folder for the package it keeps (deploy/package_source.h reads both).
    CString setupFolder;
    CString chosenFolder;   // absolute, no trailing backslash (a drive root: "D:")
    CString installFolder;  // the chosen folder and "\T-ZozerIded"
    ReleaseSelection releases;
    // The account that runs the setup has a profile of its own to serve
    // (not the system account or another service account): its host
    // profiles, its settings file and its Active Setup stamp.
    bool servesOwnProfile = true;
    // A silent run: its boxes are answered by nobody at the screen.
    bool unattended = false;
    // The existing chosen folder is one an earlier installation made
    // (FindUnsafeChosenFolders): it gets the protected descriptor again.
    bool protectChosenFolderAnew = false;
};

// The request for an installation into `chosenFolder` (absolute; one
// trailing backslash goes) of the releases, from the package beside this
// program or the one the installation keeps, for the account that runs it.
InstallRequest MakeInstallRequest(CString chosenFolder, const ReleaseSelection& releases,
                                  PackageSource source = PackageSource::BesideProgram);

enum class InstallResult {
    Complete,    // everything was done
    Incomplete,  // installed, but the account lists steps not done
    Aborted,     // the copy was given up (Abort, or the dialog closed): undone
    Failed,      // stopped and undone (the user has been told)
    // nothing done: work queued for the next restart would change a file it
    // writes (the user has been told)
    RestartFirst,
};

// The exit code of a run that ended with the installation's result. A copy
// given up is the user's cancelling when a person answered its box; in a
// silent run the silent boxes gave it up, and it failed.
int ExitCodeOf(InstallResult result, RunMode mode);

class Installation {
public:
    // `owner` owns the boxes of the run (none for an unattended one).
    Installation(const InstallRequest& request, FoundHosts& registry, ProgressSink& progress,
                 RunLog& log, HWND owner);
    Installation(const Installation&) = delete;
    Installation& operator=(const Installation&) = delete;

    InstallResult Run();
    // What was not done; shown or logged by the caller.
    const StepsNotDone& NotDone() const { return m_install.notDone; }
    // What the user should know although it was done: host files an earlier
    // installation had written that changed since, kept as the hosts' own.
    // Empty when there are none; shown by the caller (the log has each).
    afx::UiText Notice() const;

private:
    // A path the queue of the next restart names that this installation
    // would write, other than the plug-in's own deletions (which the
    // journal takes out); empty when there is none.
    CString QueuedForTheRestart() const;
    bool MakeInstallationFolder();
    // Gives the folder the installation folder's protected descriptor, every
    // entry in it reset; stops the installation (undone, the user told) when
    // it cannot.
    bool Protect(const CString& folder);
    // Undoes what the run did so far and tells the user why it stopped.
    bool RollBackAndTell(const char* format, const CString& what, DWORD error);
    // The per-user stage beside the uninstaller; false when it is not there.
    bool WriteUserStage();
    // The uninstaller, the record (what is installed now, of the earlier
    // record what this run cannot `reach`) and the entry; nothing of the
    // entry when the first two are not complete. True when all three are there.
    bool SetUpUninstall(const ReachNow& reach);
    // The stage in Active Setup, and the account that ran the setup stamped
    // as served unless it has no profile of its own or lacks a host's.
    void EnterUserStage();
    bool OwnProfileMissing() const;

    const InstallRequest& m_request;
    FoundHosts& m_registry;
    ProgressSink& m_progress;
    HWND m_owner;
    InstallContext m_install;
    EarlierInstallations m_earlier;
    bool m_uninstallable = false;  // its uninstaller and record are written and checked
    // Every user's stage runs again: another version, or other hosts served.
    bool m_servesUsersAgain = false;
};
