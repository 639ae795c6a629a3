#include "framework/afx_progress_stand_in.h"

#include <commctrl.h>

namespace afx {
namespace {

// The progress bar's own messages (PBM_*) are in the control's range.
bool IsBarMessage(UINT message) {
    return message >= WM_USER && message < WM_APP;
}

// The platform's bar inside the stand-in, made (and the library loaded) the
// first time it is needed; null when it cannot be made.
HWND BarOf(HWND standIn) {
    if (HWND bar = GetWindow(standIn, GW_CHILD)) return bar;
    const INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    if (!InitCommonControlsEx(&controls)) return nullptr;
    RECT client;
    GetClientRect(standIn, &client);
    // The stand-in keeps the template's frame (its border); the bar takes the
    // style bits of its own class (PBS_*). Made for the library's module: for
    // ours, the class name would find the stand-in's class again.
    const DWORD style = WS_CHILD | WS_VISIBLE | LOWORD(GetWindowLongW(standIn, GWL_STYLE));
    return CreateWindowExW(0, PROGRESS_CLASSW, L"", style, 0, 0, client.right, client.bottom,
                           standIn, nullptr, GetModuleHandleW(L"comctl32.dll"), nullptr);
}

LRESULT CALLBACK StandInProc(HWND standIn, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsBarMessage(message)) {
        HWND bar = BarOf(standIn);
        return bar ? SendMessageW(bar, message, wParam, lParam) : 0;
    }
    switch (message) {
        case WM_SHOWWINDOW:  // also sent to a window made visible
            if (wParam) BarOf(standIn);
            break;
        case WM_SIZE:
            if (HWND bar = GetWindow(standIn, GW_CHILD)) {
                MoveWindow(bar, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            }
            return 0;
        default:
            break;
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
    standIn.hInstance = module;
    standIn.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    standIn.lpszClassName = PROGRESS_CLASSW;
    return RegisterClassExW(&standIn) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace afx
