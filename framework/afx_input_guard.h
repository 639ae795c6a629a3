// The input guard of the framework's message boxes: a key typed ahead, or
// the second press of a double press, must never answer a box the user has
// not seen.
#pragma once

#include <windows.h>

namespace afx {

// Drops the keyboard and mouse input already queued for the thread's
// windows.
void DiscardQueuedInput();

// Guards the box shown in its lifetime: its buttons take no input for a
// moment after it appears. A box shown from within another's modal loop
// gets its own guard on the same hooks.
class ScopedInputGuard {
public:
    ScopedInputGuard();
    ~ScopedInputGuard();
    ScopedInputGuard(const ScopedInputGuard&) = delete;
    ScopedInputGuard& operator=(const ScopedInputGuard&) = delete;

private:
    bool m_wasAwaiting;
    bool m_ownsHooks;
};

}  // namespace afx
