// A stand-in host process (tests/hosts/dummy_host.cpp) running under a given
// file name; terminated and waited for when the object goes, so no process
// outlives its test case.
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

    bool IsReady() const { return m_ready; }
    DWORD Id() const { return m_id; }

private:
    afx::ScopedKernelHandle m_process;
    DWORD m_id = 0;
    bool m_ready = false;
};
