// The application object. Started with no arguments it runs the setup
// dialog once and lets the process end when it closes; the command line of
// an unattended run installs without asking, and a copy of the program named
// "Uninstall.exe" uninstalls. The process ends with the run's exit code.
#pragma once

#include "framework/afx_app.h"

class CWizardApp : public CWinApp {
public:
    CWizardApp() = default;  // no name: the application is named after the executable
    ~CWizardApp() override = default;

    // Runs the whole program and returns FALSE, so that the framework ends
    // the process without a message loop whatever the result.
    BOOL InitInstance() override;
    // The run's exit code (run/run_contract.h).
    int ExitInstance() override { return m_nExitCode; }

    DECLARE_MESSAGE_MAP()

private:
    int Run();

    int m_nExitCode = 0;
};

extern CWizardApp theApp;
