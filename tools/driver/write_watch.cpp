#include "tools/driver/write_watch.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace driver {

namespace {

constexpr BYTE kBreakpoint = 0xCC;  // int3
constexpr DWORD kTrapFlag = 0x100;
// More of a write is never a log line.
constexpr DWORD kMaxReadBytes = 4096;
// Bytes of WriteFile compared in both processes: the same library at the
// same place.
constexpr SIZE_T kComparedBytes = 16;
// The exit code of a process ended at the text: none the programs return.
constexpr UINT kKilledExitCode = 0x4B494C4C;  // "KILL"

class Watch {
public:
    explicit Watch(DWORD processId) : m_id(processId) {}
    ~Watch() {
        if (m_process) CloseHandle(m_process);
    }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool Start() {
        const HMODULE library = GetModuleHandleA("kernelbase.dll");
        m_entry = library ? reinterpret_cast<BYTE*>(GetProcAddress(library, "WriteFile")) : nullptr;
        m_process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, m_id);
        return m_entry && m_process && DebugActiveProcess(m_id);
    }

    // One debug event handled; false once the watch is over (*held tells
    // whether the process is held at the text).
    bool Handle(const DEBUG_EVENT& event, const std::string& text, bool* held) {
        // As soon as the library is there (a process just started loads it).
        if (!m_saved) ArmWhenLoaded();
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                return false;  // answered as the watch ends
            case EXCEPTION_DEBUG_EVENT:
                if (!OnException(event, text, held, &status)) return false;
                break;
            default:
                break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        return true;
    }

    void Disarm() {
        if (m_saved) Arm(false);
    }
    void Stop() { DebugActiveProcessStop(m_id); }
    HANDLE Process() const { return m_process; }

private:
    void ArmWhenLoaded() {
        BYTE theirs[kComparedBytes];
        SIZE_T read = 0;
        if (!ReadProcessMemory(m_process, m_entry, theirs, sizeof(theirs), &read) ||
            std::memcmp(theirs, m_entry, sizeof(theirs)) != 0) {
            return;
        }
        m_original = theirs[0];
        m_saved = true;
        Arm(true);
    }

    void Arm(bool armed) {
        const BYTE byte = armed ? kBreakpoint : m_original;
        WriteProcessMemory(m_process, m_entry, &byte, 1, nullptr);
        FlushInstructionCache(m_process, m_entry, 1);
    }

    // The data of the WriteFile call the thread is held at.
    std::string Written(const CONTEXT& context) const {
        std::vector<char> data(std::min<DWORD64>(context.R8, kMaxReadBytes));
        SIZE_T read = 0;
        ReadProcessMemory(m_process, reinterpret_cast<const void*>(context.Rdx), data.data(),
                          data.size(), &read);
        return std::string(data.data(), read);
    }

    bool OnException(const DEBUG_EVENT& event, const std::string& text, bool* held, DWORD* status) {
        const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
        const bool ours = record.ExceptionAddress == m_entry;
        if (record.ExceptionCode == EXCEPTION_SINGLE_STEP && m_stepping) {
            m_stepping = false;
            Arm(true);  // past the entry: the breakpoint goes back
            return true;
        }
        if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
            *status = DBG_EXCEPTION_NOT_HANDLED;  // the program's own
            return true;
        }
        if (!ours) return true;  // the break the attachment makes
        const HANDLE thread =
            OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_FULL;
        if (!thread || !GetThreadContext(thread, &context)) {
            if (thread) CloseHandle(thread);
            return false;
        }
        if (Written(context).find(text) != std::string::npos) {
            CloseHandle(thread);
            *held = true;
            return false;
        }
        // The call goes on: its first instruction runs alone, then the
        // breakpoint is back.
        Arm(false);
        context.Rip = reinterpret_cast<DWORD64>(m_entry);
        context.EFlags |= kTrapFlag;
        SetThreadContext(thread, &context);
        CloseHandle(thread);
        m_stepping = true;
        return true;
    }

    const DWORD m_id;
    HANDLE m_process = nullptr;
    BYTE* m_entry = nullptr;
    BYTE m_original = 0;
    bool m_saved = false;
    bool m_stepping = false;
};

}  // namespace

bool KillAtWrite(DWORD processId, const std::string& text, DWORD timeoutMs) {
    Watch watch(processId);
    if (!watch.Start()) return false;
    const DWORD start = GetTickCount();
    bool held = false;
    bool pending = false;  // an event the process waits on
    DEBUG_EVENT event;
    while (GetTickCount() - start < timeoutMs) {
        pending = WaitForDebugEvent(&event, timeoutMs - (GetTickCount() - start)) != FALSE;
        if (!pending || !watch.Handle(event, text, &held)) break;
        pending = false;
    }
    if (held) TerminateProcess(watch.Process(), kKilledExitCode);
    // Let go: the breakpoint taken out, the event the process waits on
    // answered; a process ended while held ends once answered.
    watch.Disarm();
    if (pending) ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
    watch.Stop();
    DWORD code = 0;
    return held && WaitForSingleObject(watch.Process(), timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(watch.Process(), &code) && code == kKilledExitCode;
}

}  // namespace driver
