// What every step of an installation is handed: the run's log, the journal
// through which it makes and notes its changes, and the steps it did not do.
#pragma once

#include "journal/install_journal.h"
#include "run/run_log.h"
#include "run/steps_not_done.h"

class InstallContext {
public:
    // Events go to `log`.
    explicit InstallContext(RunLog& runLog) : log(runLog), journal(runLog) {}
    // Events go nowhere (tests, and steps run on their own). The log is bound
    // here before it is made; nothing writes to it before then.
    InstallContext() : InstallContext(m_unopenedLog) {}
    InstallContext(const InstallContext&) = delete;
    InstallContext& operator=(const InstallContext&) = delete;

    RunLog& log;
    InstallJournal journal;
    StepsNotDone notDone;
    // Nobody answers the boxes (the silent modes): a step does not ask again
    // about a failure that asking again cannot mend.
    bool unattended = false;

private:
    RunLog m_unopenedLog;
};
