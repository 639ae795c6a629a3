#include "tests/support/running_dummy.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;

}  // namespace

RunningDummy::RunningDummy(const std::string& dummyExe, const std::string& folder,
                           const std::string& fileName) {
    const std::string target = folder + "\\" + fileName;
    if (!CopyFileA(dummyExe.c_str(), target.c_str(), FALSE)) return;

    const std::string eventName =
        "running-host-ready-" + std::to_string(GetCurrentProcessId()) + "-" + fileName;
    const afx::ScopedKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!ready) return;
    std::string commandLine = "\"" + target + "\" " + eventName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(target.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &info)) {
        return;
    }
    m_process.Reset(info.hProcess);
    CloseHandle(info.hThread);
    m_id = info.dwProcessId;
    // Running for certain: the dummy signals once its own code runs.
    const HANDLE waitFor[] = {ready.Get(), m_process.Get()};
    m_ready = WaitForMultipleObjects(2, waitFor, FALSE, kStartTimeoutMs) == WAIT_OBJECT_0;
}

RunningDummy::~RunningDummy() {
    if (!m_process) return;
    TerminateProcess(m_process.Get(), 0);
    WaitForSingleObject(m_process.Get(), kExitTimeoutMs);
}
