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

CWinApp::CWinApp(const char* pszAppName)
    : m_pszAppName(nullptr), m_pszHelpFilePath(nullptr), m_hInstance(GetModuleHandleA(nullptr)) {
    m_strAppName = pszAppName ? CString(pszAppName) : afx::GetAppName();
    m_pszAppName = m_strAppName.GetString();
    m_strHelpFilePath = HelpFilePathOf(afx::GetModulePath());
    m_pszHelpFilePath = m_strHelpFilePath.GetString();
    if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nExitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

void CWinApp::OnHelp() {
    // WinHelp would start the help viewer only for it to report a missing file.
    const bool present = GetFileAttributesA(m_pszHelpFilePath) != INVALID_FILE_ATTRIBUTES;
    if (!present || !WinHelpA(afx::GetSafeOwner(), m_pszHelpFilePath, HELP_FINDER, 0)) {
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
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
