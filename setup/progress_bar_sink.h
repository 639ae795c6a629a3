// The setup dialog's progress bar as the installation sees it
// (deploy/progress_sink.h). The bar is redrawn at once: the whole
// installation runs without returning to the message loop.
#pragma once

#include <windows.h>

#include "deploy/progress_sink.h"
#include "framework/afx_controls.h"

class ProgressBarSink : public ProgressSink {
public:
    // `cancelRequested`: the dialog's flag, set when the user closes it.
    ProgressBarSink(CProgressCtrl& bar, const bool& cancelRequested)
        : m_bar(bar), m_cancelRequested(cancelRequested) {}
    void StepIt() override {
        m_bar.StepIt();
        ::UpdateWindow(m_bar);
    }
    bool CancelRequested() const override { return m_cancelRequested; }

private:
    CProgressCtrl& m_bar;
    const bool& m_cancelRequested;
};
