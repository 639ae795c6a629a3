#include "entries/uninstall_entry.h"

#include <windows.h>

#include "framework/afx_registry.h"
#include "run/product_version.h"
#include "text/path_text.h"

namespace {

constexpr unsigned long long kBytesPerKiB = 1024;
// Repair and Change are offered: Uninstall.exe repairs and modifies the
// installation from the package it keeps, without the package it came from.
constexpr DWORD kOffered = 0;
constexpr char kModifySwitch[] = " /MODIFY";
constexpr DWORD kReadBufferSize = 1024;

// Today, yyyymmdd in local time, as Programs and Features reads InstallDate.
CString Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    CString text;
    text.Format("%04d%02d%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

}  // namespace

bool WriteUninstallEntry(const UninstallEntry& entry) {
    DeleteUninstallEntry();
    const afx::ScopedRegKey key =
        afx::CreateRegKey(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_WRITE);
    if (!key) return false;
    const CString uninstaller = JoinPath(entry.installFolder, kUninstallerName);
    CString quoted;
    quoted.Format("\"%s\"", uninstaller.GetString());
    const unsigned long long kib = (entry.installedBytes + kBytesPerKiB - 1) / kBytesPerKiB;
    const SetupVersionParts version = SplitSetupVersion(entry.version);
    // The name is stored as Unicode so that Programs and Features shows it
    // right on every system.
    return afx::SetRegProgramText(key.Get(), L"DisplayName", kProductDisplayName) &&
           afx::SetRegText(key.Get(), "DisplayVersion", FormatSetupVersion(entry.version)) &&
           afx::SetRegDword(key.Get(), "VersionMajor", static_cast<DWORD>(version.year)) &&
           afx::SetRegDword(key.Get(), "VersionMinor", static_cast<DWORD>(version.month)) &&
           afx::SetRegText(key.Get(), "Publisher", kProductPublisher) &&
           afx::SetRegText(key.Get(), "InstallDate", Today()) &&
           afx::SetRegText(key.Get(), "DisplayIcon", uninstaller + ",0") &&
           afx::SetRegText(key.Get(), "InstallLocation", entry.installFolder) &&
           afx::SetRegText(key.Get(), "UninstallString", quoted) &&
           afx::SetRegText(key.Get(), "QuietUninstallString", quoted + " /VERYSILENT") &&
           afx::SetRegText(key.Get(), "ModifyPath", quoted + kModifySwitch) &&
           afx::SetRegDword(key.Get(), "EstimatedSize", static_cast<DWORD>(kib)) &&
           afx::SetRegDword(key.Get(), "NoModify", kOffered) &&
           afx::SetRegDword(key.Get(), "NoRepair", kOffered);
}

CString ReadInstalledFolder() {
    char buffer[kReadBufferSize] = {};
    DWORD size = sizeof(buffer) - 1;  // room for a terminator the data may lack
    DWORD type = 0;
    const afx::ScopedRegKey key =
        afx::OpenRegKey(HKEY_LOCAL_MACHINE, kUninstallEntryKey, KEY_QUERY_VALUE);
    if (!key || RegGetValueA(key.Get(), nullptr, "InstallLocation", RRF_RT_REG_SZ | RRF_NOEXPAND,
                             &type, buffer, &size) != ERROR_SUCCESS) {
        return CString();
    }
    const CString folder(buffer);
    return IsAbsolutePath(folder) ? folder : CString();
}

LONG DeleteUninstallEntry() {
    return RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntryKey);
}
