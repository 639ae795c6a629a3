// The application object: runs the setup dialog once and lets the process
// end when it closes.
#pragma once

#include "framework/afx_app.h"

class CWizardApp : public CWinApp {
public:
    CWizardApp() = default;  // no name: the application is named after the executable
    ~CWizardApp() override = default;

    // Discovers the host installations, runs the setup dialog modally and
    // returns FALSE, so that the framework ends the process without a
    // message loop whatever the dialog's result.
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CWizardApp theApp;
