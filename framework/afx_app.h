// CWinApp: the one application object. It registers itself when it is
// constructed (statically, before the entry point runs); the framework's
// entry point then calls InitInstance, which runs the whole program: there
// is no message loop after it.
#pragma once

#include <windows.h>

#include "framework/afx_msgmap.h"
#include "framework/afx_string.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // The application is named after the executable file.
    CWinApp();
    ~CWinApp() override;

    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    // After the run: the process's exit code.
    virtual int ExitInstance() { return 0; }

    // The standard help command: the application's help file (the
    // executable's path with the extension ".HLP"), or the framework's
    // failure box when there is none.
    void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    CString m_strHelpFilePath;
};

// The application object, or null when none has been constructed.
CWinApp* AfxGetApp();
// Where dialog templates, icons and bitmaps are loaded from: the executable.
HINSTANCE AfxGetResourceHandle();
// ActiveX controls in dialogs: nothing to do, no template holds one.
void AfxEnableControlContainer();
// The framework's entry point: InitInstance, then ExitInstance's exit code.
int AfxWinMain();
