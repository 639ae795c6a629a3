// The one way a seam is worked: a stand-in (a test's recorder, the silent
// runs' box responder) put in the seam's slot for an object's lifetime; the
// one it replaced comes back after. Each seam keeps its slot in its own
// source file and names its scoped class after what it installs.
#pragma once

namespace afx {

template <typename StandIn>
class ScopedSeam {
public:
    ScopedSeam(StandIn*& slot, StandIn& standIn) : m_slot(slot), m_previous(slot) {
        slot = &standIn;
    }
    ~ScopedSeam() { m_slot = m_previous; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    StandIn*& m_slot;
    StandIn* const m_previous;
};

}  // namespace afx
