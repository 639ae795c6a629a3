// A stand-in host process (tests/hosts/dummy_host.cpp) running under a given
// file name; terminated and waited for, and its copy removed, when the object
// goes, so no process outlives its test case.
#pragma once

#include <windows.h>

#include <string>

#include "framework/scoped_handles.h"

class RunningDummy {
public:
    // Copies the dummy executable into the folder under the file name and
    // starts it there; IsReady once its own code runs.
    RunningDummy(const std::string& dummyExe, const std::string& folder,
                 const std::string& fileName);
    ~RunningDummy();
    RunningDummy(const RunningDummy&) = delete;
    RunningDummy& operator=(const RunningDummy&) = delete;

    bool IsReady() const { return m_failure.empty(); }
    // Why the dummy is not ready: the step that failed (the copy, its
    // event, its start) and the error.
    const std::string& Failure() const { return m_failure; }
    DWORD Id() const { return m_id; }

private:
    // Copies the dummy to the path and starts it; empty when it runs, else
    // why not.
    std::string Start(const std::string& dummyExe, const std::string& path);

    std::string m_copy;  // made by this object, removed with it
    afx::ScopedKernelHandle m_process;
    DWORD m_id = 0;
    std::string m_failure;
};
