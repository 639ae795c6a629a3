#include "framework/afx_app_name.h"

#include <string>

#include "framework/afx_mbcs.h"

namespace afx {

namespace {

HWND (*g_mainWindowSource)() = nullptr;

}  // namespace

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

HWND GetMainWindow() { return g_mainWindowSource ? g_mainWindowSource() : nullptr; }

void SetMainWindowSource(HWND (*source)()) { g_mainWindowSource = source; }

}  // namespace afx
