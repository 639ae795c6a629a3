#include "system/app_data.h"

#include <shlobj.h>
#include <windows.h>

#include "framework/afx_unicode.h"
#include "text/path_text.h"

namespace {

constexpr wchar_t kAppDataVariable[] = L"APPDATA";

// "APPDATA" in the ANSI code page; empty when missing, too long for the ANSI
// file functions, not an absolute folder or not expressible in the code page
// (a character it lacks reads as '?', never as a look-alike naming another
// folder). Read in its wide form and converted: Wine's ANSI read cuts a value
// short by one byte per double-byte character, and a user name in Chinese
// puts such characters into it.
CString AppDataValue() {
    wchar_t wide[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(kAppDataVariable, wide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    CString value;
    if (!afx::FromWide(wide, CP_ACP, &value) || value.GetLength() >= MAX_PATH) return CString();
    return IsAbsolutePath(value) ? value : CString();
}

}  // namespace

CString UserAppDataFolder() {
    const CString value = AppDataValue();
    if (!value.IsEmpty()) return value;
    char shellFolder[MAX_PATH];
    if (SUCCEEDED(
            SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellFolder)) &&
        IsAbsolutePath(shellFolder)) {
        return CString(shellFolder);
    }
    return CString();
}
