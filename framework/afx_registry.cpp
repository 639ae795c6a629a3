#include "framework/afx_registry.h"

#include <cstring>
#include <string>

#include "framework/afx_unicode.h"

namespace afx {

namespace {

ScopedRegKey KeyOrError(LONG result, HKEY key) {
    if (result == ERROR_SUCCESS) return ScopedRegKey(key);
    SetLastError(static_cast<DWORD>(result));
    return ScopedRegKey();
}

}  // namespace

ScopedRegKey OpenRegKey(HKEY parent, const char* name, REGSAM access, DWORD options) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(parent, name, options, access, &key);
    return KeyOrError(result, key);
}

ScopedRegKey CreateRegKey(HKEY parent, const char* name, REGSAM access, DWORD options) {
    HKEY key = nullptr;
    const LONG result =
        RegCreateKeyExA(parent, name, 0, nullptr, options, access, nullptr, &key, nullptr);
    return KeyOrError(result, key);
}

bool SetRegDword(HKEY key, const char* name, DWORD data) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool SetRegText(HKEY key, const char* name, const char* text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text)) + 1) == ERROR_SUCCESS;
}

bool SetRegProgramText(HKEY key, const wchar_t* name, const char* gbk) {
    const std::wstring wide = ToWide(gbk, kProgramCodePage);
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool IsRegLink(HKEY key) {
    DWORD type = REG_NONE;
    return RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           type == REG_LINK;
}

}  // namespace afx
