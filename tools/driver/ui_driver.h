// Drives another process's windows from outside, as a user would: finds its
// dialogs and message boxes, reads control state, clicks, types and takes
// screenshots. Used by the end-to-end tests and by the sample run. Texts
// are read and written as Unicode; the narrow ones it takes and gives are GBK
// (as the tests' and the program's literals) whatever the code page it runs in.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace driver {

// How long a window may take to appear or a process to end under Wine.
constexpr DWORD kDefaultTimeoutMs = 20000;

// A child process started with an optional environment override; ended
// (killed if need be) when the object goes.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts exePath with the given arguments, in `workingFolder` (by
    // default the program's own folder). Each pair of env overrides sets
    // (or, with an empty value, removes) one variable.
    bool Start(const std::string& exePath,
               const std::vector<std::pair<std::string, std::string>>& env = {},
               const std::string& arguments = {}, const std::string& workingFolder = {});
    // Takes charge of a process it did not start (one this process's child
    // started in turn, say); false when it cannot be opened.
    bool Adopt(DWORD processId);
    bool WaitForExit(DWORD timeoutMs = kDefaultTimeoutMs);
    bool IsRunning() const;
    // The whole exit code (a Unix shell sees only its low 8 bits).
    DWORD ExitCode() const;
    DWORD Id() const { return m_id; }
    // The program file the process runs; empty when it cannot be asked.
    std::string ImagePath() const;
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// A process that the given one started, waited for; 0 after the timeout.
DWORD WaitForChildProcess(DWORD parentId, DWORD timeoutMs = kDefaultTimeoutMs);

// The visible top-level dialog (#32770) of a process whose caption is given,
// or any of its dialogs when caption is null; null when there is none now.
HWND FindDialog(DWORD processId, const char* caption);

// The same, waited for; null after the timeout.
HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs = kDefaultTimeoutMs);

// A visible message box of the process: a dialog other than those named in
// known (the dialog templates use id 65535 too) holding the text static 65535.
HWND WaitForMessageBox(DWORD processId, const std::vector<HWND>& known,
                       DWORD timeoutMs = kDefaultTimeoutMs);
// The message box's text (static 65535).
std::string MessageBoxText(HWND box);
// Waits until the box takes input: the program keeps a box's buttons
// disabled for a moment after it appears, and a click posted to a disabled
// button is lost. False when the box went or the timeout passed first.
bool WaitForInput(HWND box, DWORD timeoutMs = kDefaultTimeoutMs);

// Waits until the window's thread is back in its message loop: a message
// sent from another thread is handled only there, so whatever the handler
// that runs now changes is complete when this returns true.
bool WaitForIdle(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// Waits until the window is gone.
bool WaitForClose(HWND window, DWORD timeoutMs = kDefaultTimeoutMs);

// Waits until pred() holds, polling; false after the timeout.
template <typename Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs = kDefaultTimeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
}

// Control state, read through messages (GetWindowText does not reach
// another process's edit box).
std::wstring WideText(HWND window);
std::string Text(HWND window);  // WideText as GBK
std::string ItemText(HWND dialog, int id);
bool IsItemVisible(HWND dialog, int id);
bool IsItemEnabled(HWND dialog, int id);
int ItemCheck(HWND dialog, int id);
RECT WindowRect(HWND window);
std::string ClassName(HWND window);

// Input.
void Click(HWND dialog, int id);                          // BM_CLICK, posted
void SetItemText(HWND dialog, int id, const char* text);  // WM_SETTEXT: raises EN_CHANGE
void SetItemText(HWND dialog, int id, const wchar_t* text);
void PressKey(HWND target, UINT virtualKey);  // WM_KEYDOWN + WM_KEYUP, posted
void Close(HWND window);                      // WM_SYSCOMMAND SC_CLOSE: the close box

// Saves what the screen shows of a window as a 24-bit BMP.
bool SaveScreenshot(HWND window, const std::string& bmpPath);

// The display scale programs started from now on see (Wine reads
// HKCU\Control Panel\Desktop\LogPixels when a process starts); the value
// before is put back when the object goes.
class ScopedDisplayDpi {
public:
    explicit ScopedDisplayDpi(DWORD dpi);
    ~ScopedDisplayDpi();
    ScopedDisplayDpi(const ScopedDisplayDpi&) = delete;
    ScopedDisplayDpi& operator=(const ScopedDisplayDpi&) = delete;

    bool IsSet() const { return m_set; }

private:
    bool m_set = false;
    bool m_hadValue = false;
    DWORD m_previous = 0;
};

}  // namespace driver
