#include "framework/afx_dialog.h"

#include "framework/afx_app.h"
#include "framework/afx_controls.h"
#include "framework/afx_msgbox.h"
#include "framework/afx_progress_stand_in.h"

namespace {

constexpr int kMinCheck = BST_UNCHECKED;
constexpr int kMaxCheck = BST_INDETERMINATE;
constexpr INT_PTR kDialogFailed = -1;

}  // namespace

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!control) m_bFailed = true;
    return control;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWindow& rControl) {
    if (rControl.m_hWnd) return;  // bound by an earlier exchange
    rControl.m_hWnd = pDX->PrepareCtrl(nIDC);
    if (rControl.m_hWnd) pDX->m_pDlgWnd->m_boundControls.push_back(&rControl);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    CButton control = pDX->PrepareCtrl(nIDC);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) {
        value = control.GetCheck();
        return;
    }
    if (value < kMinCheck || value > kMaxCheck) value = kMinCheck;
    control.SetCheck(value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value, afx::TextOrigin origin) {
    CWindow control = pDX->PrepareCtrl(nIDC);
    if (!control) return;
    if (pDX->m_bSaveAndValidate) {
        control.GetWindowText(value, origin);
        return;
    }
    // Unchanged text is not written again: no flicker, no change notification.
    CString current;
    const bool exact = control.GetWindowText(current, origin);
    if (exact && current == value) return;
    control.SetWindowText(origin == afx::TextOrigin::Program ? afx::UiText::Program(value)
                                                             : afx::UiText::System(value));
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return kDialogFailed;  // already running
    // Templates may hold the progress bar: the framework provides its class,
    // the program never has to (the library itself comes when it is needed).
    afx::RegisterProgressBarStandIn(AfxGetResourceHandle());
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : afx::GetSafeOwner();
    const INT_PTR result = DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate),
                                           owner, &DialogProc, reinterpret_cast<LPARAM>(this));
    // The windows are gone: nothing points at them any more.
    for (CWindow* control : m_boundControls) control->m_hWnd = nullptr;
    m_boundControls.clear();
    m_hWnd = nullptr;
    return result;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->OnInitDialog();
    }
    // Messages before WM_INITDIALOG, and those the map leaves, get the
    // dialog manager's default handling.
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    LRESULT result = 0;
    if (!dialog || !dialog->Dispatch(message, wParam, lParam, &result)) return FALSE;
    // A colour request answers with its brush; every other message through DWLP_MSGRESULT.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return result;
    SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    const bool outer = m_bLockoutNotify;
    m_bLockoutNotify = true;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    m_bLockoutNotify = outer;
    return dx.Failed() ? FALSE : TRUE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
    if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
    // Commands the dialog does not handle go on to the application, as
    // they would from a main window; control notifications do not.
    if (nCode != 0) return FALSE;
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(nID, nCode) : FALSE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}
