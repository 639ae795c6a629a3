// UserSetup.exe, the per-user stage as Windows starts it at a user's logon
// (Active Setup, RunOnce). No window, ever: a box any step would show is
// answered and logged. The log goes to the user's temporary folder.
#include "framework/afx_app.h"
#include "framework/afx_app_name.h"
#include "framework/afx_msgbox.h"
#include "peruser/user_stage.h"
#include "run/product_version.h"
#include "run/run_contract.h"
#include "run/run_log.h"
#include "run/silent_boxes.h"
#include "text/path_text.h"

namespace {

class CUserSetupApp : public CWinApp {
public:
    BOOL InitInstance() override {
        RunLog log;
        // Without a log the user is served all the same.
        log.OpenNew(kUserStageLogStem);
        LogRunStart(log, FormatSetupVersion(kSetupVersion));
        SilentBoxes boxes(log);
        const afx::ScopedMessageBoxResponder silence(boxes);
        m_exitCode = RunUserStage(ParentFolder(afx::GetModulePath()), log);
        LogExitCode(log, m_exitCode);
        return FALSE;
    }
    int ExitInstance() override { return m_exitCode; }

private:
    int m_exitCode = exit_code::kSuccess;
};

CUserSetupApp theApp;

}  // namespace
