// Control wrappers: a borrowed control handle (bound by DDX_Control) with the
// control's own messages as methods, in the manner of WTL's CButtonT.
#pragma once

#include <windows.h>
// after windows.h, which it builds on
#include <commctrl.h>

#include "framework/afx_wnd.h"

class CButton : public CWindow {
public:
    CButton(HWND hWnd = nullptr) : CWindow(hWnd) {}  // NOLINT: implicit, a borrowed handle

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

// The platform's "msctls_progress32" bar.
class CProgressCtrl : public CWindow {
public:
    void SetRange(short nLower, short nUpper) {
        SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
    }
    // Each returns the previous step or position.
    int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, nStep)); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, nPos)); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
};
