#include "framework/afx_progress_stand_in.h"

#include <commctrl.h>

namespace afx {
namespace {

// Where a stand-in keeps its bar, in its window's extra bytes.
constexpr int kBarSlot = 0;

// The progress bar's own messages (PBM_*) are in the control's range.
bool IsBarMessage(UINT message) {
    return message >= WM_USER && message < WM_APP;
}

HWND MadeBar(HWND standIn) {
    return reinterpret_cast<HWND>(GetWindowLongPtrW(standIn, kBarSlot));
}

// The platform's bar in the stand-in's place, made (and the library loaded)
// the first time it is needed; null when it cannot be made.
HWND BarOf(HWND standIn) {
    if (HWND bar = MadeBar(standIn)) return bar;
    const INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    if (!InitCommonControlsEx(&controls)) return nullptr;
    HWND parent = GetParent(standIn);
    RECT place;
    GetWindowRect(standIn, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    // Made for the library's module: for ours, the class name would find
    // the stand-in's class again.
    HWND bar =
        CreateWindowExW(GetWindowLongW(standIn, GWL_EXSTYLE), PROGRESS_CLASSW, L"",
                        GetWindowLongW(standIn, GWL_STYLE) & ~WS_VISIBLE, place.left, place.top,
                        place.right - place.left, place.bottom - place.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(standIn))),
                        GetModuleHandleW(L"comctl32.dll"), nullptr);
    if (!bar) return nullptr;
    SetWindowPos(bar, standIn, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(standIn, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowLongPtrW(standIn, kBarSlot, reinterpret_cast<LONG_PTR>(bar));
    return bar;
}

LRESULT CALLBACK StandInProc(HWND standIn, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsBarMessage(message)) {
        HWND bar = BarOf(standIn);
        return bar ? SendMessageW(bar, message, wParam, lParam) : 0;
    }
    if (message == WM_SHOWWINDOW) {  // also sent to a window made visible
        HWND bar = wParam ? BarOf(standIn) : MadeBar(standIn);
        if (bar) ShowWindow(bar, wParam ? SW_SHOWNA : SW_HIDE);
    }
    return DefWindowProcW(standIn, message, wParam, lParam);
}

}  // namespace

bool RegisterProgressBarStandIn(HINSTANCE module) {
    // Registered, not asked for: under Wine, asking for a class of the
    // library's that is not registered loads the library.
    WNDCLASSEXW standIn = {};
    standIn.cbSize = sizeof(standIn);
    standIn.lpfnWndProc = &StandInProc;
    standIn.cbWndExtra = sizeof(HWND);
    standIn.hInstance = module;
    standIn.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    standIn.lpszClassName = PROGRESS_CLASSW;
    return RegisterClassExW(&standIn) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace afx
