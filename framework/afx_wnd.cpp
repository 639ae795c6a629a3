#include "framework/afx_wnd.h"

#include <string>

#include "framework/afx_gdi.h"
#include "framework/afx_unicode.h"

namespace {

// Window properties that tie a subclassed window to its object and keep the
// procedure it replaced.
constexpr const char* kObjectProp = "AfxWndObject";
constexpr const char* kSuperProp = "AfxWndSuper";

bool IsOwnProcessWindow(HWND hWnd) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hWnd, &processId);
    return processId == GetCurrentProcessId();
}

WNDPROC SuperProcOf(HWND hWnd) {
    return reinterpret_cast<WNDPROC>(GetPropA(hWnd, kSuperProp));
}

}  // namespace

void CWindow::MoveWindow(LPCRECT rect, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                 bRepaint);
}

void CWindow::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWindow::SetWindowText(const afx::UiText& text) {
    ::SetWindowTextW(m_hWnd, afx::ToWide(text).c_str());
}

bool CWindow::GetWindowText(CString& text, afx::TextOrigin origin) const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, &buffer[0], length + 1);
    buffer.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return afx::FromWide(buffer.c_str(), afx::CodePageOf(origin), &text);
}

HICON CWindow::SetIcon(HICON icon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_pfnSuper) UnsubclassWindow();
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !IsWindow(hWnd) || !IsOwnProcessWindow(hWnd)) return FALSE;
    // One object per window: a second one would lose the first one's chain.
    if (GetPropA(hWnd, kObjectProp) || GetPropA(hWnd, kSuperProp)) return FALSE;
    if (!SetPropA(hWnd, kObjectProp, this)) return FALSE;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!previous) {
        RemovePropA(hWnd, kObjectProp);
        return FALSE;
    }
    SetPropA(hWnd, kSuperProp, reinterpret_cast<HANDLE>(previous));
    m_pfnSuper = previous;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    if (!m_pfnSuper) return nullptr;
    HWND hWnd = m_hWnd;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    if (current == &AfxWndProc) {
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        RemovePropA(hWnd, kSuperProp);
    }
    // Otherwise another procedure sits on top of ours: ours stays in the chain
    // and, finding no object, passes every message on to the kept procedure.
    RemovePropA(hWnd, kObjectProp);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd || !IsOwnProcessWindow(hWnd)) return nullptr;
    return static_cast<CWnd*>(GetPropA(hWnd, kObjectProp));
}

LRESULT CWnd::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return CallPrevious(m_current.message, m_current.wParam, m_current.lParam);
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const CurrentMessage outer = m_current;  // handlers may send messages to this window
    m_current = {message, wParam, lParam};
    bool handled = false;
    if (message == WM_COMMAND) {
        // A notification raised by data exchange writing to a control is not
        // something the user did.
        handled = (lParam != 0 && m_bLockoutNotify) || OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
        *result = 0;
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const AFX_MSGMAP_ENTRY* entry = afx::FindMessageEntry(GetMessageMap(), WM_CTLCOLOR, 0, 0);
        handled = entry != nullptr;
        if (handled) *result = OnCtlColorMessage(*entry, message, wParam, lParam);
    } else if (message == WM_DPICHANGED) {
        if (const AFX_MSGMAP_ENTRY* entry =
                afx::FindMessageEntry(GetMessageMap(), WM_DPICHANGED, 0, 0)) {
            entry->pfnThunk(this, {nullptr, nullptr, 0, LOWORD(wParam)});
        }
    }
    m_current = outer;
    return handled;
}

LRESULT CWnd::OnCtlColorMessage(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam,
                                LPARAM lParam) {
    CDC dc(reinterpret_cast<HDC>(wParam));
    const auto control = reinterpret_cast<HWND>(lParam);
    // A control is borrowed for the call; the window itself is this object.
    CWnd borrowed;
    borrowed.m_hWnd = control;
    CWnd* pWnd = control == m_hWnd ? this : &borrowed;
    const AFX_MSGPARAMS params = {&dc, pWnd, message - WM_CTLCOLORMSGBOX, 0};
    return entry.pfnThunk(this, params);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (!wnd) {
        const WNDPROC super = SuperProcOf(hWnd);
        if (message == WM_NCDESTROY) RemovePropA(hWnd, kSuperProp);
        return super ? CallWindowProcW(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcW(hWnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (!wnd->Dispatch(message, wParam, lParam, &result)) {
        result = wnd->CallPrevious(message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window is going: nothing more will pass through a procedure of ours.
        wnd->UnsubclassWindow();
        RemovePropA(hWnd, kSuperProp);
    }
    return result;
}
