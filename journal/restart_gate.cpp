#include "journal/restart_gate.h"

#include "journal/line_kinds.h"
#include "run/run_log.h"

RestartQueue& RestartGate::Queue() {
    if (!m_queue) m_queue.emplace();
    return *m_queue;
}

bool RestartGate::HoldsOwnDeletionOf(const CString& path) {
    return Queue().HoldsOwnDeletionOf(path);
}

bool RestartGate::TakeOut(const CString& path, const std::function<bool()>& writeAhead) {
    constexpr char kTakeOut[] = "take the plug-in's own deletion out of the restart's queue:";
    if (!writeAhead() ||
        !QueuedDeletionLine::Do({JournalLine::Kind::QueuedDeletion, path}, Queue())) {
        const DWORD error = GetLastError();
        m_log.Result(kTakeOut, path, false, error);
        SetLastError(error);
        return false;
    }
    m_log.Result(kTakeOut, path, true);
    return true;
}
