#include "entries/active_setup.h"

#include <windows.h>

#include "entries/plugin_key.h"
#include "framework/afx_registry.h"
#include "run/product.h"
#include "system/reg_ops.h"

const char kActiveSetupKey[] =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\"
    "{7A479842-ED53-4AAD-8FC6-E7C0EB678373}";

namespace {

constexpr char kStubPathValue[] = "StubPath";
constexpr char kVersionValue[] = "Version";
constexpr char kIsInstalledValue[] = "IsInstalled";
constexpr DWORD kInstalled = 1;

}  // namespace

CString UserStageCommand(const CString& stagePath, const char* startedBy) {
    return "\"" + stagePath + "\" " + startedBy;
}

bool WriteActiveSetupEntry(const CString& command, const CString& version) {
    DeleteActiveSetupEntry();
    const afx::ScopedRegKey key = afx::CreateRegKey(HKEY_LOCAL_MACHINE, kActiveSetupKey, KEY_WRITE);
    // The name, as Unicode, is what a logon that runs the stage may show.
    return key && afx::SetRegProgramText(key.Get(), L"", kProductDisplayName) &&
           afx::SetRegText(key.Get(), kStubPathValue, command) &&
           afx::SetRegText(key.Get(), kVersionValue, version) &&
           afx::SetRegDword(key.Get(), kIsInstalledValue, kInstalled);
}

bool ReadActiveSetupEntry(CString* command, CString* version) {
    const afx::ScopedRegKey key =
        afx::OpenRegKey(HKEY_LOCAL_MACHINE, kActiveSetupKey, KEY_QUERY_VALUE);
    // A longer text is no entry of ours.
    constexpr DWORD kEntryTextSize = 1024;
    char text[kEntryTextSize] = {};
    DWORD size = sizeof(text) - 1;
    if (!key || RegGetValueA(key.Get(), nullptr, kStubPathValue, RRF_RT_REG_SZ, nullptr, text,
                             &size) != ERROR_SUCCESS) {
        return false;
    }
    *command = CString(text);
    size = sizeof(text) - 1;
    if (RegGetValueA(key.Get(), nullptr, kVersionValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    *version = CString(text);
    return true;
}

LONG DeleteActiveSetupEntry() {
    return RegDeleteTreeA(HKEY_LOCAL_MACHINE, kActiveSetupKey);
}

bool StampActiveSetupDone(const CString& version) {
    afx::ScopedRegKey key;
    return CreateKeyNotThroughLinks(HKEY_CURRENT_USER, kActiveSetupKey, KEY_WRITE, &key) ==
               ERROR_SUCCESS &&
           afx::SetRegText(key.Get(), kVersionValue, version);
}

namespace {

constexpr char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
// The plug-in's value among the user's RunOnce entries.
constexpr char kRunOnceValue[] = "Torvex T-ZozerIded";

}  // namespace

bool ArmRunOnce(const CString& command) {
    afx::ScopedRegKey key;
    return CreateKeyNotThroughLinks(HKEY_CURRENT_USER, kRunOnceKey, KEY_WRITE, &key) ==
               ERROR_SUCCESS &&
           afx::SetRegText(key.Get(), kRunOnceValue, command);
}

void DisarmRunOnce() {
    afx::ScopedRegKey key;
    if (OpenKeyNotThroughLinks(HKEY_CURRENT_USER, kRunOnceKey, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key.Get(), kRunOnceValue);
    }
}

void DeleteUserStageTraces() {
    DeletePluginValue(HKEY_CURRENT_USER, kUserRecordValue);
    DeletePluginKeyWhenEmpty(HKEY_CURRENT_USER);
    DisarmRunOnce();
    DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, kActiveSetupKey);
}
