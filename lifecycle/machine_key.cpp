#include "lifecycle/machine_key.h"

#include <windows.h>

#include <string>

#include "framework/scoped_handles.h"

const char kMachineKey[] = "SOFTWARE\\Torvex\\T-ZozerIded";
const char kRecordCopyValue[] = "InstallRecord";
const char kInstallationUnderWayValue[] = "InstallationUnderWay";

namespace {

// The vendor's key above ours: it goes with ours when nothing else is in it.
constexpr char kVendorKey[] = "SOFTWARE\\Torvex";
// Larger data is not what the setup wrote.
constexpr DWORD kMaxValueBytes = 4 * 1024 * 1024;

}  // namespace

bool ReadMachineValue(const char* name, CString* text) {
    const afx::ScopedRegKey key = afx::OpenRegKey(HKEY_LOCAL_MACHINE, kMachineKey, KEY_READ);
    DWORD type = 0;
    DWORD size = 0;
    if (!key ||
        RegQueryValueExA(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size > kMaxValueBytes) {
        return false;
    }
    std::string data(size, '\0');
    if (size > 0 && RegQueryValueExA(key.Get(), name, nullptr, &type,
                                     reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS) {
        return false;
    }
    data.resize(size);
    // Text up to its first NUL, whatever the data holds after it.
    *text = CString(data.c_str());
    return true;
}

bool WriteMachineValue(const char* name, const CString& text) {
    const afx::ScopedRegKey key = afx::CreateRegKey(HKEY_LOCAL_MACHINE, kMachineKey, KEY_WRITE);
    // Binary, byte for byte: the text is in the ANSI code page, which the
    // registry's text types would convert.
    return key && RegSetValueExA(key.Get(), name, 0, REG_BINARY,
                                 reinterpret_cast<const BYTE*>(text.GetString()),
                                 static_cast<DWORD>(text.GetLength())) == ERROR_SUCCESS;
}

void DeleteMachineValue(const char* name) {
    const afx::ScopedRegKey key = afx::OpenRegKey(HKEY_LOCAL_MACHINE, kMachineKey, KEY_SET_VALUE);
    if (key) RegDeleteValueA(key.Get(), name);
}

void DeleteMachineKeyWhenEmpty() {
    // RegDeleteKey refuses a key with subkeys; values go with the key, so
    // first make sure there are none.
    {
        const afx::ScopedRegKey key = afx::OpenRegKey(HKEY_LOCAL_MACHINE, kMachineKey, KEY_READ);
        DWORD values = 0;
        if (key &&
            (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
             values > 0)) {
            return;
        }
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMachineKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVendorKey);  // refused while it holds anything
}
