// What the package copy needs of the dialog it runs under: the progress bar,
// one step at a time, and whether the user has closed the dialog meanwhile.
// The setup dialog passes its bar; tests pass a counter.
#pragma once

class ProgressSink {
public:
    virtual void StepIt() = 0;
    // True once the user has asked to stop (closed the dialog while a box
    // was up): the box's answer then counts as Abort.
    virtual bool CancelRequested() const { return false; }

protected:
    ~ProgressSink() = default;
};
