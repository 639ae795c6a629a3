#include <shlobj.h>
#include <windows.h>

#include <string>

#include "framework/afx_registry.h"
#include "hosts/system_folders.h"

const char kProfileListKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const char kProfileFolderValue[] = "ProfileImagePath";

namespace {

// Values of the profile list naming the profiles' folder and the shared profiles.
constexpr const char* kProfileListFolders[] = {"ProfilesDirectory", "Default", "Public"};
constexpr const char* kProgramFilesVariables[] = {"ProgramFiles", "ProgramFiles(x86)",
                                                  "ProgramW6432"};
// The shell folders that are roots of others: the Program Files folders and
// the profile of the running user.
constexpr int kExactRootFolderIds[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE};
constexpr DWORD kNameBufferSize = 256;

void AddExpanded(std::vector<CString>& folders, const char* text) {
    char expanded[MAX_PATH];
    const DWORD length = ExpandEnvironmentStringsA(text, expanded, MAX_PATH);
    if (length > 0 && length <= MAX_PATH) folders.push_back(CString(expanded));
}

void AddValue(std::vector<CString>& folders, HKEY key, const char* name) {
    char data[MAX_PATH] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        AddExpanded(folders, data);
    }
}

}  // namespace

SystemFolders SystemFoldersOfThisMachine() {
    SystemFolders system;
    char folder[MAX_PATH];
    if (GetWindowsDirectoryA(folder, MAX_PATH)) system.windows.push_back(CString(folder));
    if (GetSystemWindowsDirectoryA(folder, MAX_PATH)) system.windows.push_back(CString(folder));
    for (const int id : kExactRootFolderIds) {
        if (SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, folder))) {
            system.exactRoots.push_back(CString(folder));
        }
    }
    for (const char* variable : kProgramFilesVariables) {
        const DWORD length = GetEnvironmentVariableA(variable, folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) system.exactRoots.push_back(CString(folder));
    }
    const afx::ScopedRegKey profiles =
        afx::OpenRegKey(HKEY_LOCAL_MACHINE, kProfileListKey, KEY_READ);
    if (!profiles) return system;
    for (const char* name : kProfileListFolders) AddValue(system.exactRoots, profiles.Get(), name);
    char sid[kNameBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof(sid);
        if (RegEnumKeyExA(profiles.Get(), index, sid, &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS) {
            break;
        }
        const afx::ScopedRegKey profile = afx::OpenRegKey(profiles.Get(), sid, KEY_READ);
        if (profile) AddValue(system.exactRoots, profile.Get(), kProfileFolderValue);
    }
    return system;
}
