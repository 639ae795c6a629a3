#include "deploy/plugin_registration.h"

#include <windows.h>

#include "deploy/registration_table.h"
#include "framework/scoped_handles.h"

namespace {

// Deletes the entry's key and creates it anew, so it holds only what is
// written now. A key with subkeys of its own survives the deletion and is
// reused with its other values.
afx::ScopedRegKey RecreateEntryKey(HKEY hostKey, const CString& name) {
    RegDeleteKeyA(hostKey, name);
    return afx::CreateRegKey(hostKey, name);
}

void SetDword(HKEY key, const char* name, DWORD data) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

// The size counts the terminating NUL; the text is written whole.
void SetText(HKEY key, const char* name, const CString& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                   static_cast<DWORD>(text.GetLength()) + 1);
}

void WriteMainEntry(HKEY hostKey, int release, const CString& loader) {
    const afx::ScopedRegKey entry = RecreateEntryKey(hostKey, MainEntryKeyName(release));
    if (!entry) return;
    SetDword(entry.Get(), kValueManaged, kMainManaged);
    SetText(entry.Get(), kValueLoader, loader);
}

void WriteCompanionEntry(HKEY hostKey, int release, const CString& loader) {
    const afx::ScopedRegKey entry = RecreateEntryKey(hostKey, CompanionEntryKeyName(release));
    if (!entry) return;
    SetDword(entry.Get(), kValueLoadCtrls, kCompanionLoadCtrls);
    SetText(entry.Get(), kValueLoader, loader);
    SetDword(entry.Get(), kValueManaged, kCompanionManaged);
}

}  // namespace

void RegisterPlugin(const HostInstallRegistry& registry, bool use2023, bool use2024, bool use2025,
                    bool use2026) {
    for (const HostRelease release : SelectedReleases(use2023, use2024, use2025, use2026)) {
        RegisterRelease(registry, HostReleaseYear(release));
    }
}

void RegisterRelease(const HostInstallRegistry& registry, int release) {
    ModuleNumbers numbers;
    if (!GetModuleNumbers(release, &numbers)) return;
    const int index = release - HostReleaseYear(HostRelease::R2023);
    const CStringArray& keys = registry.hostKeys[index];
    const CStringArray& folders = registry.hostFolders[index];
    const CString mainLoader = MainLoaderPath(registry.installFolder, numbers.main);
    // The lists are parallel; a shorter folder list must not be read past.
    for (int i = 0; i < keys.GetSize() && i < folders.GetSize(); ++i) {
        // Opened as found, under the current user only: nothing is created
        // at this level.
        const afx::ScopedRegKey hostKey = afx::OpenRegKey(HKEY_CURRENT_USER, keys[i]);
        if (!hostKey) continue;
        WriteMainEntry(hostKey.Get(), release, mainLoader);
        WriteCompanionEntry(hostKey.Get(), release,
                            CompanionLoaderPath(folders[i], numbers.companion));
    }
}
