// The restart's queue meets each file an installation is about to write
// (removal/restart_queue.h): the plug-in's own deletion of the path is
// taken out, its line written ahead, so that a rollback or the recovery of
// a killed run queues it again. Anything else queued on what the
// installation writes refused the whole run before anything changed
// (install/restart_precheck.h): a file is never refused here.
#pragma once

#include <functional>
#include <optional>

#include "framework/afx_string.h"
#include "removal/restart_queue.h"

class RunLog;

class RestartGate {
public:
    explicit RestartGate(RunLog& log) : m_log(log) {}
    RestartGate(const RestartGate&) = delete;
    RestartGate& operator=(const RestartGate&) = delete;

    // The plug-in's own deletion of `path` is queued (the queue read at the
    // first file).
    bool HoldsOwnDeletionOf(const CString& path);
    // Takes the plug-in's own deletion of `path` out of the queue once
    // `writeAhead` has noted it; logged. False, with GetLastError() set, when
    // either fails.
    bool TakeOut(const CString& path, const std::function<bool()>& writeAhead);

private:
    RestartQueue& Queue();

    RunLog& m_log;
    std::optional<RestartQueue> m_queue;
};
