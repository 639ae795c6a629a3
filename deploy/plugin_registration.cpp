#include "deploy/plugin_registration.h"

#include <windows.h>

#include "deploy/registration_table.h"
#include "framework/scoped_handles.h"
#include "hosts/host_contract.h"
#include "lifecycle/install_journal.h"

namespace {

bool KeyExists(HKEY parent, const char* name) {
    return afx::OpenRegKey(parent, name, KEY_READ).IsValid();
}

// Deletes the entry's key and creates it anew, so it holds only what is
// written now. A key with subkeys of its own survives the deletion and is
// reused with its other values.
afx::ScopedRegKey RecreateEntryKey(HKEY hostKey, const CString& name, bool* replaced) {
    const bool existed = KeyExists(hostKey, name);
    *replaced = existed && RegDeleteKeyA(hostKey, name) != ERROR_SUCCESS;
    return afx::CreateRegKey(hostKey, name);
}

// Writes one entry below the host key anew: noted when the key is there,
// counted when it was not written whole. `setValues` sets the entry's
// values and tells whether every one was set.
template <typename SetValues>
void WriteEntry(HKEY hostKey, const CString& hostKeyPath, const CString& name, InstallLog& log,
                SetValues setValues) {
    bool replaced = false;
    const afx::ScopedRegKey entry = RecreateEntryKey(hostKey, name, &replaced);
    const bool written = entry && setValues(entry.Get());
    const CString path = hostKeyPath + name;
    if (KeyExists(hostKey, name)) log.journal.NoteKey(path, replaced);
    if (!written) log.account.Add(StepAccount::Kind::RegistryNotWritten, path);
}

}  // namespace

void RegisterPlugin(const HostInstallRegistry& registry, bool use2023, bool use2024, bool use2025,
                    bool use2026, InstallLog& log) {
    for (const HostRelease release : SelectedReleases(use2023, use2024, use2025, use2026)) {
        RegisterRelease(registry, HostReleaseYear(release), log);
    }
}

void RegisterRelease(const HostInstallRegistry& registry, int release, InstallLog& log) {
    ModuleNumbers numbers;
    if (!GetModuleNumbers(release, &numbers)) return;
    const int index = release - HostReleaseYear(HostRelease::R2023);
    const CStringArray& keys = registry.hostKeys[index];
    const CStringArray& folders = registry.hostFolders[index];
    const CString mainLoader = MainLoaderPath(registry.installFolder, numbers.main);
    // The lists are parallel; a shorter folder list must not be read past.
    for (int i = 0; i < keys.GetSize() && i < folders.GetSize(); ++i) {
        log.journal.NoteRelease(release, folders[i], keys[i]);
        // Opened as found, under the current user only: nothing is created
        // at this level. A host found only for the machine has no profile of
        // this user's to load the plug-in from.
        const afx::ScopedRegKey hostKey = afx::OpenRegKey(HKEY_CURRENT_USER, keys[i]);
        if (!hostKey) {
            log.account.Add(StepAccount::Kind::RegistryNotWritten, keys[i]);
            continue;
        }
        // Created on the way by the first entry when missing; noted first, so
        // that the uninstaller removes it after the entries in it.
        if (!KeyExists(hostKey.Get(), kApplicationsKey) &&
            afx::CreateRegKey(hostKey.Get(), kApplicationsKey)) {
            log.journal.NoteKey(keys[i] + kApplicationsKey, false);
        }
        WriteEntry(hostKey.Get(), keys[i], MainEntryKeyName(release), log, [&](HKEY entry) {
            return afx::SetRegDword(entry, kValueManaged, kMainManaged) &&
                   afx::SetRegText(entry, kValueLoader, mainLoader);
        });
        const CString companionLoader = CompanionLoaderPath(folders[i], numbers.companion);
        WriteEntry(hostKey.Get(), keys[i], CompanionEntryKeyName(release), log, [&](HKEY entry) {
            return afx::SetRegDword(entry, kValueLoadCtrls, kCompanionLoadCtrls) &&
                   afx::SetRegText(entry, kValueLoader, companionLoader) &&
                   afx::SetRegDword(entry, kValueManaged, kCompanionManaged);
        });
    }
}
