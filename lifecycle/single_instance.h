// One setup or uninstall of the plug-in at a time on the whole machine.
#pragma once

#include "framework/scoped_handles.h"

class SingleInstance {
public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another setup or uninstall runs (or holds the name).
    bool IsOnly() const { return m_only; }

private:
    afx::ScopedKernelHandle m_mutex;
    bool m_only = false;
};
