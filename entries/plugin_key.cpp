#include "entries/plugin_key.h"

#include <string>

#include "framework/afx_registry.h"
#include "system/reg_ops.h"

const char kPluginKey[] = "SOFTWARE\\Torvex\\T-ZozerIded";
const char kRecordCopyValue[] = "InstallRecord";
const char kInstallationUnderWayValue[] = "InstallationUnderWay";
const char kEarlierFolderValue[] = "EarlierInstallationFolder";
const char kUninstallUnderWayValue[] = "UninstallUnderWay";
const char kQueuedDeletionsValue[] = "QueuedDeletions";
const char kUserRecordValue[] = "UserRecord";

namespace {

// The vendor's key above ours: it goes with ours when nothing else is in it.
constexpr char kVendorKey[] = "SOFTWARE\\Torvex";
// Larger data is not what the setup wrote.
constexpr DWORD kMaxValueBytes = 4 * 1024 * 1024;

// Deletes the key when it holds neither values nor subkeys.
void DeleteWhenEmpty(HKEY root, const char* path) {
    afx::ScopedRegKey key;
    DWORD subkeys = 0;
    DWORD values = 0;
    if (OpenKeyNotThroughLinks(root, path, KEY_READ, &key) != ERROR_SUCCESS ||
        RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        subkeys > 0 || values > 0) {
        return;
    }
    key.Reset();
    DeleteKeyNotThroughLinks(root, path);
}

}  // namespace

bool ReadPluginValue(HKEY root, const char* name, CString* text) {
    afx::ScopedRegKey key;
    DWORD type = 0;
    DWORD size = 0;
    if (OpenKeyNotThroughLinks(root, kPluginKey, KEY_READ, &key) != ERROR_SUCCESS ||
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

bool WritePluginValue(HKEY root, const char* name, const CString& text) {
    afx::ScopedRegKey key;
    // Binary, byte for byte: the text is in the ANSI code page, which the
    // registry's text types would convert.
    return CreateKeyNotThroughLinks(root, kPluginKey, KEY_WRITE, &key) == ERROR_SUCCESS &&
           RegSetValueExA(key.Get(), name, 0, REG_BINARY,
                          reinterpret_cast<const BYTE*>(text.GetString()),
                          static_cast<DWORD>(text.GetLength())) == ERROR_SUCCESS;
}

void DeletePluginValue(HKEY root, const char* name) {
    afx::ScopedRegKey key;
    if (OpenKeyNotThroughLinks(root, kPluginKey, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key.Get(), name);
    }
}

void DeletePluginKeyWhenEmpty(HKEY root) {
    DeleteWhenEmpty(root, kPluginKey);
    DeleteWhenEmpty(root, kVendorKey);
}
