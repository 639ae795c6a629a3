#include "framework/afx_app.h"

#include "framework/afx_app_name.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"

namespace {

// The framework's one application object.
CWinApp* g_app = nullptr;

constexpr const char* kHelpExtension = ".HLP";
constexpr const char* kFailedToLaunchHelp = "Failed to launch help.";

// The executable's path with its extension replaced by the help file's.
CString HelpFilePathOf(const CString& modulePath) {
    const char* text = modulePath.GetString();
    const char* slash = afx::MbsRChr(text, '\\');
    const char* dot = afx::MbsRChr(slash ? slash : text, '.');
    const CString base = dot ? modulePath.Left(static_cast<int>(dot - text)) : modulePath;
    return base + kHelpExtension;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp()
    : m_hInstance(GetModuleHandleA(nullptr)),
      m_strHelpFilePath(HelpFilePathOf(afx::GetModulePath())) {
    if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

void CWinApp::OnHelp() {
    // WinHelp would start the help viewer only for it to report a missing file.
    const bool present = GetFileAttributesA(m_strHelpFilePath) != INVALID_FILE_ATTRIBUTES;
    if (!present || !WinHelpA(afx::GetSafeOwner(), m_strHelpFilePath, HELP_FINDER, 0)) {
        AfxMessageBox(kFailedToLaunchHelp);
    }
}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetResourceHandle() {
    return g_app ? g_app->m_hInstance : GetModuleHandleA(nullptr);
}

void AfxEnableControlContainer() {}

int AfxWinMain() {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->InitInstance();
    return app->ExitInstance();
}
