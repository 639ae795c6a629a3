// CWinApp: the one application object. It registers itself when it is
// constructed (statically, before the entry point runs); the framework's
// entry point then calls InitInstance and, only when that returns TRUE, runs
// a message loop. ExitInstance ends the run either way.
#pragma once

#include <windows.h>

#include "framework/afx_msgmap.h"
#include "framework/afx_string.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // Without a name the application is named after the executable file.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName;
    const char* m_pszHelpFilePath;  // the executable's path with the extension ".HLP"
    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop; returns ExitInstance's result.
    virtual int Run();
    // The process's exit code.
    virtual int ExitInstance() { return m_nExitCode; }

    // The standard help command: the application's help file, or the
    // framework's failure box when there is none.
    void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    CString m_strAppName;
    CString m_strHelpFilePath;
    int m_nExitCode = 0;
};

// The application object, or null when none has been constructed.
CWinApp* AfxGetApp();
// Where dialog templates, icons and bitmaps are loaded from: the executable.
HINSTANCE AfxGetResourceHandle();
// ActiveX controls in dialogs: nothing to do, no template holds one.
void AfxEnableControlContainer();
// The framework's entry point: InitInstance, then Run or ExitInstance.
int AfxWinMain();
