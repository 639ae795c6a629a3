#include "tests/support/running_dummy.h"

#include <atomic>

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;

std::string Failed(const std::string& step, DWORD error) {
    return step + ": error " + std::to_string(error);
}

// A name no other dummy's event has: one made of the file name would be
// shared by any two dummies of one name and, object names ignoring case, by
// "gcad.exe" and "GCAD.EXE".
std::string NewEventName() {
    static std::atomic<unsigned> sequence{0};
    return "running-host-ready-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++sequence);
}

}  // namespace

RunningDummy::RunningDummy(const std::string& dummyExe, const std::string& folder,
                           const std::string& fileName)
    : m_failure(Start(dummyExe, folder + "\\" + fileName)) {}

std::string RunningDummy::Start(const std::string& dummyExe, const std::string& path) {
    if (!CopyFileA(dummyExe.c_str(), path.c_str(), FALSE)) {
        return Failed("copy to " + path, GetLastError());
    }
    m_copy = path;
    const std::string eventName = NewEventName();
    const afx::ScopedKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    if (!ready) return Failed("event " + eventName, GetLastError());
    // An event of that name already there may be signalled already.
    if (GetLastError() == ERROR_ALREADY_EXISTS) return "event " + eventName + " already exists";

    std::string commandLine = "\"" + path + "\" " + eventName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &info)) {
        return Failed("start", GetLastError());
    }
    m_process.Reset(info.hProcess);
    CloseHandle(info.hThread);
    m_id = info.dwProcessId;
    // Running for certain: the dummy signals once its own code runs.
    const HANDLE waitFor[] = {ready.Get(), m_process.Get()};
    const DWORD waited = WaitForMultipleObjects(2, waitFor, FALSE, kStartTimeoutMs);
    DWORD code = 0;
    if (waited == WAIT_OBJECT_0) return std::string();
    if (waited == WAIT_OBJECT_0 + 1 && GetExitCodeProcess(m_process.Get(), &code)) {
        return "ended before it signalled, exit code " + std::to_string(code);
    }
    return Failed("wait for its signal", waited == WAIT_TIMEOUT ? WAIT_TIMEOUT : GetLastError());
}

RunningDummy::~RunningDummy() {
    if (m_process) {
        TerminateProcess(m_process.Get(), 0);
        WaitForSingleObject(m_process.Get(), kExitTimeoutMs);
    }
    // Gone with its process: a later dummy of the name finds no copy to replace.
    if (!m_copy.empty()) DeleteFileA(m_copy.c_str());
}
