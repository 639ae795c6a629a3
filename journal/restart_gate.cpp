#include "journal/restart_gate.h"

#include "journal/line_kinds.h"
#include "run/run_contract.h"
#include "run/run_log.h"

QueuedForRestart RestartGate::For(const CString& path) {
    if (!m_queue) m_queue.emplace();
    const QueuedForRestart queued = m_queue->For(path);
    if (queued == QueuedForRestart::Other) {
        m_log.Write(afx::UiText("queued for the next restart by another program, a restart "
                                "must come first: ") +
                    afx::UiText::System(path));
        SetLastError(exit_code::kRestartFirst);
    }
    return queued;
}

bool RestartGate::TakeOut(const CString& path, const std::function<bool()>& writeAhead) {
    constexpr char kTakeOut[] = "take the plug-in's own deletion out of the restart's queue:";
    if (!m_queue) m_queue.emplace();
    if (!writeAhead() ||
        !QueuedDeletionLine::Do({JournalLine::Kind::QueuedDeletion, path}, *m_queue)) {
        const DWORD error = GetLastError();
        m_log.Result(kTakeOut, path, false, error);
        SetLastError(error);
        return false;
    }
    m_log.Result(kTakeOut, path, true);
    return true;
}
