#include "framework/afx_wnd.h"

#include <string>

#include "framework/afx_gdi.h"

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

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_pfnSuper) UnsubclassWindow();
}

BOOL CWnd::Attach(HWND hWnd) {
    if (m_hWnd || !hWnd) return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    if (m_pfnSuper) return UnsubclassWindow();
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    m_childWrappers.clear();
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !IsWindow(hWnd) || !IsOwnProcessWindow(hWnd)) return FALSE;
    // One object per window: a second one would lose the first one's chain.
    if (GetPropA(hWnd, kObjectProp) || GetPropA(hWnd, kSuperProp)) return FALSE;
    if (!SetPropA(hWnd, kObjectProp, this)) return FALSE;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!previous) {
        RemovePropA(hWnd, kObjectProp);
        return FALSE;
    }
    SetPropA(hWnd, kSuperProp, reinterpret_cast<HANDLE>(previous));
    m_pfnSuper = previous;
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent) return FALSE;
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    if (!m_pfnSuper) return nullptr;
    HWND hWnd = m_hWnd;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    if (current == &AfxWndProc) {
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        RemovePropA(hWnd, kSuperProp);
    }
    // Otherwise another procedure sits on top of ours: ours stays in the chain
    // and, finding no object, passes every message on to the kept procedure.
    RemovePropA(hWnd, kObjectProp);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    m_childWrappers.clear();
    return hWnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd || !IsOwnProcessWindow(hWnd)) return nullptr;
    return static_cast<CWnd*>(GetPropA(hWnd, kObjectProp));
}

CWnd* CWnd::GetDlgItem(int nID) {
    HWND child = ::GetDlgItem(m_hWnd, nID);
    if (!child) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(child)) return permanent;
    std::unique_ptr<CWnd>& wrapper = m_childWrappers[child];
    if (!wrapper) {
        wrapper = std::make_unique<CWnd>();
        wrapper->Attach(child);
    }
    return wrapper.get();
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, bRepaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL bRepaint) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, bRepaint);
}

void CWnd::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

int CWnd::GetWindowText(char* buffer, int maxCount) const {
    return ::GetWindowTextA(m_hWnd, buffer, maxCount);
}

void CWnd::GetWindowText(CString& text) const {
    // The A length may exceed the text (it counts conservatively); the copy
    // tells the real one.
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, &buffer[0], length + 1);
    text = CString(buffer.c_str(), copied > 0 ? copied : 0);
}

HICON CWnd::SetIcon(HICON icon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A notification raised by data exchange writing to a control is not
    // something the user did.
    if (lParam != 0 && m_bLockoutNotify) return TRUE;
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) {
    return reinterpret_cast<HBRUSH>(Default());
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return false;
        *result = 0;
        return true;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const AFX_MSGMAP_ENTRY* entry = afx::FindMessageEntry(GetMessageMap(), WM_CTLCOLOR, 0, 0);
        if (!entry) return false;
        *result = OnCtlColorMessage(*entry, message, wParam, lParam);
        return true;
    }
    return false;
}

LRESULT CWnd::OnCtlColorMessage(const AFX_MSGMAP_ENTRY& entry, UINT message, WPARAM wParam,
                                LPARAM lParam) {
    CDC dc(reinterpret_cast<HDC>(wParam));
    HWND control = reinterpret_cast<HWND>(lParam);
    CWnd wrapper;
    CWnd* pWnd = FromHandlePermanent(control);
    if (!pWnd) {
        wrapper.Attach(control);
        pWnd = &wrapper;
    }
    const AFX_MSGPARAMS params = {message, wParam, lParam, &dc, pWnd, message - WM_CTLCOLORMSGBOX};
    return entry.pfnThunk(this, params);
}

void CWnd::OnNcDestroyMessage() {
    HWND hWnd = m_hWnd;
    UnsubclassWindow();
    // The window is going: nothing more will pass through a procedure of ours.
    RemovePropA(hWnd, kSuperProp);
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (!wnd) {
        const WNDPROC super = SuperProcOf(hWnd);
        if (message == WM_NCDESTROY) RemovePropA(hWnd, kSuperProp);
        return super ? CallWindowProcA(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    const CurrentMessage outer = wnd->m_current;  // handlers may send messages to this window
    wnd->m_current = {message, wParam, lParam};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_current = outer;
    if (message == WM_NCDESTROY) wnd->OnNcDestroyMessage();
    return result;
}
