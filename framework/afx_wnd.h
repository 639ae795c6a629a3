// CWnd: a window object over an HWND. It never creates or destroys a
// window; it borrows one, either plainly (Attach) or by subclassing it, in
// which case the window's messages run through the class's message map
// first and then through the window procedure it had before.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "framework/afx_msgmap.h"
#include "framework/afx_string.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Gives the window its previous procedure back if it still exists.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }  // NOLINT: implicit like the framework's

    // Plain borrowing: no message goes through this object.
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // Routes the window's messages through this object until the window is
    // destroyed or UnsubclassWindow is called. Fails for a window that
    // another object subclasses already or that belongs to another process.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // The object that subclasses hWnd, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // A child by id: the object that subclasses it, else a plain wrapper that
    // this window keeps until it is destroyed. Null when there is no such child.
    CWnd* GetDlgItem(int nID);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void MoveWindow(int x, int y, int width, int height, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL bRepaint = TRUE);
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const;
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(char* buffer, int maxCount) const;
    void GetWindowText(CString& text) const;
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    HICON SetIcon(HICON icon, BOOL bBigIcon);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

protected:
    // The message as the window received it: the map, then the previous
    // procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The previous window procedure, or DefWindowProc when there is none.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone and this object is detached from it.
    virtual void PostNcDestroy() {}

    // The message being handled, passed on to the previous procedure.
    LRESULT Default();
    // Default colour handling: whatever the previous procedure does.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // Set while data exchange writes to the controls: their notifications
    // are then dropped rather than handled.
    bool m_bLockoutNotify = false;

    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT OnCtlColorMessage(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam,
                              LPARAM lParam);
    void OnNcDestroyMessage();

    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    WNDPROC m_pfnSuper = nullptr;  // the procedure before ours, while subclassed
    CurrentMessage m_current;
    std::map<HWND, std::unique_ptr<CWnd>> m_childWrappers;
};
