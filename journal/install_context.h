// What every step of an installation is handed: the run's log for its
// events, the journal through which it makes and notes its changes, and the
// account of what it did not do.
#pragma once

#include "journal/install_journal.h"
#include "run/run_log.h"
#include "run/steps_not_done.h"

class InstallContext {
public:
    // Events go to `log`.
    explicit InstallContext(RunLog& log) : events(log), journal(log) {}
    // Events go nowhere (tests, and steps run on their own). The log is bound
    // here before it is made; nothing writes to it before then.
    InstallContext() : InstallContext(m_unopenedLog) {}
    InstallContext(const InstallContext&) = delete;
    InstallContext& operator=(const InstallContext&) = delete;

    RunLog& events;
    InstallJournal journal;
    StepAccount account;
    // Nobody answers the boxes (the silent modes): a step does not ask again
    // about a failure that asking again cannot mend.
    bool unattended = false;

private:
    RunLog m_unopenedLog;
};
