#include "framework/afx_app_name.h"

#include <string>

#include "framework/afx_app.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_wnd.h"

namespace afx {

CString GetModulePath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0) return CString();
        if (n < buffer.size()) return CString(buffer.c_str(), static_cast<int>(n));
        buffer.resize(buffer.size() * 2);  // cut short: try again with more room
    }
}

CString GetAppName() {
    const CString path = GetModulePath();
    const char* text = path.GetString();
    const char* slash = MbsRChr(text, '\\');
    CString name(slash ? slash + 1 : text);
    const char* dot = MbsRChr(name.GetString(), '.');
    if (dot) name = name.Left(static_cast<int>(dot - name.GetString()));
    return name;
}

HWND GetMainWindow() {
    const CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

}  // namespace afx
