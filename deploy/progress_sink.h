// What the package copy needs of a progress bar: one step at a time. The
// setup dialog passes its bar; tests pass a counter.
#pragma once

class ProgressSink {
public:
    virtual void StepIt() = 0;

protected:
    ~ProgressSink() = default;
};
