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
#include "install/install_request.h"
#include "install/machine_at_start.h"
#include "journal/earlier_installation.h"
#include "journal/install_context.h"

class Installation {
public:
    // `machine`: what the run found before it changed anything. `owner`
    // owns the boxes of the run (none for an unattended one).
    Installation(const InstallRequest& request, const MachineAtStart& machine,
                 ProgressSink& progress, RunLog& log, HWND owner);
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
    // Nothing is done while the next restart would change a file it writes.
    bool RestartComesFirst();
    // The chosen folder with every missing folder above it, then the
    // installation folder inside it, protected; the journal made durable.
    // False when it stopped: everything undone, the user told.
    bool MakeFolders();
    // Registration (unless the account has no profile of its own) and host
    // deployment, for the releases of the request.
    void ServeHosts();
    // The per-user stage, the uninstaller, the record and the entry; the
    // journal committed with the work it still owes, which is then done.
    void Finish();
    // Protects the folder; stops the installation (undone, the user told)
    // when it cannot.
    bool Protect(const CString& folder);
    // Undoes what the run did so far and tells the user why it stopped.
    bool RollBackAndTell(const char* format, const CString& what, DWORD error);

    const InstallRequest& m_request;
    const MachineAtStart& m_machine;
    ProgressSink& m_progress;
    HWND m_owner;
    InstallContext m_install;
    EarlierInstallations m_earlier;
    // What the earlier installation had goes at the next restart.
    bool m_restartCompletes = false;
};
