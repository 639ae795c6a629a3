// CDialog: a modal dialog from a template, run by the platform's dialog
// manager as a Unicode dialog (the template's texts stay as they are on any
// system), whose dialog procedure hands the messages to the message map;
// dialog data exchange binds members to its controls.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_wnd.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CDialog* m_pDlgWnd;

    // The dialog's control with that id; null, and the exchange fails, when
    // the dialog has none.
    HWND PrepareCtrl(int nIDC);
    bool Failed() const { return m_bFailed; }

private:
    bool m_bFailed = false;
};

// Binds the control object to the dialog's control on the first exchange;
// the dialog lets go of it again when it ends.
void DDX_Control(CDataExchange* pDX, int nIDC, CWindow& rControl);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate. A value
// outside 0..2 is set to 0 before it is loaded.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A text control and a narrow member in the code page of its origin: the
// program's own texts (GBK) or system texts such as paths (ANSI code page).
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value, afx::TextOrigin origin);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override = default;

    // Runs the dialog; its EndDialog result, or -1 when it cannot be created.
    // Without a parent the owner is the framework's safe owner.
    virtual INT_PTR DoModal();

    // FALSE: members to controls; TRUE: controls to members. Control
    // notifications raised meanwhile are dropped. FALSE when a control is missing.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

    BOOL OnCmdMsg(UINT nID, int nCode) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Loads the controls from the members; TRUE lets the platform set the focus.
    virtual BOOL OnInitDialog();
    // Takes the controls into the members and, when that works, ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel();  // ends with IDCANCEL

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    friend void DDX_Control(CDataExchange* pDX, int nIDC, CWindow& rControl);

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<CWindow*> m_boundControls;  // what DDX_Control bound, let go at the end
};
