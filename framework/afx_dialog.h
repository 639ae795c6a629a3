// CDialog: a modal dialog from a template, run by the platform's dialog
// manager, with its window subclassed so that the message map sees its
// messages; dialog data exchange binds members to its controls.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"
#include "framework/afx_wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;

    // The dialog's control with that id; null, and the exchange fails, when
    // the dialog has none.
    HWND PrepareCtrl(int nIDC);
    bool Failed() const { return m_bFailed; }

private:
    bool m_bFailed = false;
};

// Binds the control to the object (subclassing it) on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate. A value
// outside 0..2 is set to 0 before it is loaded.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);

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
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
