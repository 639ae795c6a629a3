#include "framework/afx_input_guard.h"

#include <cwchar>

namespace afx {

namespace {

// A box's buttons take no input for this long after it is shown, as a
// browser's security prompt: the second Enter of a double press, meant for
// the window before the box, arrives after the queued input was dropped and
// would otherwise answer a box the user has not read.
constexpr UINT kInputGuardMs = 500;
// The guard's timer on the box; a message box sets no timers of its own.
constexpr UINT_PTR kInputGuardTimer = 1;

// A thread's hooks while ShowMessageBox shows a box, and whether that box
// has yet to be created.
struct GuardState {
    HHOOK windows = nullptr;
    HHOOK dialogInput = nullptr;
    bool awaitingBox = false;
};
// Each thread's state, in a slot of the thread's own while a guard lives.
// (C++ thread_local would bring the threads library's emulation of it
// along: some 27 KB in each program.)
const DWORD g_stateSlot = TlsAlloc();

GuardState& State() {
    auto* state = static_cast<GuardState*>(TlsGetValue(g_stateSlot));
    if (!state) {
        state = new GuardState;
        TlsSetValue(g_stateSlot, state);
    }
    return *state;
}

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kButtonClass[] = L"Button";
// The longest class name the system keeps, and its terminator.
constexpr int kClassNameSize = 257;
// Marks a box whose guard has not ended yet.
constexpr wchar_t kGuardProperty[] = L"AfxInputGuard";

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[kClassNameSize] = {};
    return GetClassNameW(window, name, kClassNameSize) && _wcsicmp(name, className) == 0;
}

bool IsGuarded(HWND box) {
    return box && GetPropW(box, kGuardProperty);
}

void EnableButtons(HWND box, BOOL enable) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HasClass(child, kButtonClass)) EnableWindow(child, enable);
    }
}

// The button styled as the default one; else the one the box names (Wine
// names IDOK even in boxes without it).
HWND DefaultButton(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (HasClass(child, kButtonClass) &&
            (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
            return child;
        }
    }
    const LRESULT defId = SendMessageW(box, DM_GETDEFID, 0, 0);
    return HIWORD(defId) == DC_HASDEFID ? GetDlgItem(box, LOWORD(defId)) : nullptr;
}

void CALLBACK EndInputGuard(HWND box, UINT, UINT_PTR timer, DWORD) {
    KillTimer(box, timer);
    RemovePropW(box, kGuardProperty);
    EnableButtons(box, TRUE);  // a box has no disabled buttons of its own
    // The default button gets the focus that disabling took away.
    HWND button = DefaultButton(box);
    if (button && GetActiveWindow() == box) {
        SendMessageW(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    }
}

// The first dialog created while a box is awaited is that box: from its
// activation until the guard's timer ends its buttons are disabled, against
// the mouse.
LRESULT CALLBACK WatchBoxWindows(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    GuardState& state = State();
    if (code == HCBT_CREATEWND && state.awaitingBox && HasClass(window, kDialogClass)) {
        state.awaitingBox = false;
        SetPropW(window, kGuardProperty, window);
    } else if (code == HCBT_ACTIVATE && IsGuarded(window)) {
        EnableButtons(window, FALSE);
        SetTimer(window, kInputGuardTimer, kInputGuardMs, EndInputGuard);
    } else if (code == HCBT_DESTROYWND) {
        RemovePropW(window, kGuardProperty);
    }
    return CallNextHookEx(state.windows, code, wParam, lParam);
}

// Keys for a guarded box go before its dialog manager sees them: a disabled
// button keeps neither the focus nor Enter from pressing it (Wine's boxes
// take Enter for IDOK even then). Commands sent to the box itself (the setup
// dialog's Abort on closing) still answer it.
LRESULT CALLBACK DropKeysForGuardedBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message >= WM_KEYFIRST &&
        message->message <= WM_KEYLAST && IsGuarded(GetAncestor(message->hwnd, GA_ROOT))) {
        return TRUE;
    }
    return CallNextHookEx(State().dialogInput, code, wParam, lParam);
}

}  // namespace

ScopedInputGuard::ScopedInputGuard()
    : m_wasAwaiting(State().awaitingBox), m_ownsHooks(!State().windows) {
    GuardState& state = State();
    if (m_ownsHooks) {
        const DWORD thread = GetCurrentThreadId();
        state.windows = SetWindowsHookExW(WH_CBT, WatchBoxWindows, nullptr, thread);
        state.dialogInput = SetWindowsHookExW(WH_MSGFILTER, DropKeysForGuardedBox, nullptr, thread);
    }
    state.awaitingBox = true;
}

ScopedInputGuard::~ScopedInputGuard() {
    GuardState& state = State();
    state.awaitingBox = m_wasAwaiting;
    if (!m_ownsHooks) return;
    if (state.windows) UnhookWindowsHookEx(state.windows);
    if (state.dialogInput) UnhookWindowsHookEx(state.dialogInput);
    // The outermost guard ends: the thread keeps nothing.
    delete &state;
    TlsSetValue(g_stateSlot, nullptr);
}

void DiscardQueuedInput() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    }
}

}  // namespace afx
