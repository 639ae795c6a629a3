// Window objects over HWNDs. CWindow borrows a handle and offers the
// window's plain operations; it is copied freely and never creates,
// destroys or owns a window. CWnd adds the message map, and subclassing for
// a window that another procedure created (the shell's browse dialog): its
// messages then run through the map first and then through the procedure it
// had before. Windows are Unicode windows, and subclassing keeps them so.
#pragma once

#include <windows.h>

#include "framework/afx_msgmap.h"
#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

class CWindow {
public:
    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}  // NOLINT: implicit, a borrowed handle

    HWND m_hWnd;

    operator HWND() const { return m_hWnd; }  // NOLINT: implicit like the framework's

    // A child by id, borrowed; empty when there is no such child.
    CWindow GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    void MoveWindow(LPCRECT rect, BOOL bRepaint = TRUE);
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(LPRECT rect) const;
    // Window texts go through the wide functions: each narrow text is read,
    // and written back, in the code page of its origin.
    void SetWindowText(const afx::UiText& text);
    // False when the window holds a character the code page cannot; it
    // reads as '?' (see afx::FromWide).
    bool GetWindowText(CString& text, afx::TextOrigin origin) const;
    HICON SetIcon(HICON icon, BOOL bBigIcon);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
};

class CWnd : public CCmdTarget, public CWindow {
public:
    CWnd() = default;
    // Gives a subclassed window its previous procedure back if it still exists.
    ~CWnd() override;

    // Routes the window's messages through this object until the window is
    // destroyed or UnsubclassWindow is called. Fails for a window that
    // another object subclasses already or that belongs to another process.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

    // The object that subclasses hWnd, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

protected:
    // Runs the message map on a message of this window (commands, colour
    // requests and DPI changes); false when no entry takes it, and always for
    // a DPI change, whose default handling must go on. Default() then stands
    // for it.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The message being dispatched, passed on to the previous procedure, or
    // to DefWindowProc when there is none.
    LRESULT Default();
    // Default colour handling: whatever the window does without us.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // Set while data exchange writes to the controls: their notifications
    // are then dropped rather than handled.
    bool m_bLockoutNotify = false;

    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColorMessage(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam,
                              LPARAM lParam);

    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    WNDPROC m_pfnSuper = nullptr;  // the procedure before ours, while subclassed
    CurrentMessage m_current;
};
