#include "deploy/plugin_registration.h"

#include <windows.h>

#include "deploy/registration_table.h"
#include "framework/afx_registry.h"
#include "hosts/host_contract.h"
#include "journal/install_context.h"
#include "system/reg_ops.h"

namespace {

// A key that is there, as itself: a link in its place counts as there (it
// is refused, never replaced by a key of ours).
bool KeyExists(HKEY parent, const char* name) {
    afx::ScopedRegKey key;
    return OpenKeyNotThroughLinks(parent, name, KEY_READ, &key) != ERROR_FILE_NOT_FOUND;
}

// Writes one entry below the host key anew, so that it holds only what is
// written now: the key is deleted and created again (a key with subkeys of
// its own survives the deletion and is reused with its other values). It is
// noted in the journal before it is made; counted when it was not written
// whole. `setValues` sets the entry's values and tells whether every one was set.
template <typename SetValues>
void WriteEntry(HKEY hostKey, const CString& hostKeyPath, const CString& name,
                InstallContext& install, SetValues setValues) {
    const CString path = hostKeyPath + name;
    const LONG deleted = DeleteKeyNotThroughLinks(hostKey, name);
    install.journal.NoteKey(path, deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND);
    afx::ScopedRegKey entry;
    const LONG created = CreateKeyNotThroughLinks(hostKey, name, KEY_WRITE, &entry);
    const bool written = created == ERROR_SUCCESS && setValues(entry.Get());
    const DWORD error = written ? 0 : created != ERROR_SUCCESS ? created : GetLastError();
    install.log.Result("registry entry HKEY_CURRENT_USER\\", path, written, error);
    if (!written) install.notDone.Add(StepsNotDone::Kind::RegistryNotWritten, path);
}

}  // namespace

void RegisterPlugin(const FoundHosts& registry, const ReleaseSelection& releases,
                    const CString& installFolder, InstallContext& install) {
    for (const HostRelease release : releases.Releases()) {
        RegisterRelease(registry, release, installFolder, install);
    }
}

void RegisterRelease(const FoundHosts& registry, HostRelease release, const CString& installFolder,
                     InstallContext& install) {
    const int year = HostReleaseYear(release);
    ModuleNumbers numbers;
    if (!GetModuleNumbers(year, &numbers)) return;
    const CStringArray& keys = registry.hostKeys[HostReleaseIndex(release)];
    const CStringArray& folders = registry.hostFolders[HostReleaseIndex(release)];
    const CString mainLoader = MainLoaderPath(installFolder, numbers.main);
    // The lists are parallel; a shorter folder list must not be read past.
    for (int i = 0; i < keys.GetSize() && i < folders.GetSize(); ++i) {
        install.journal.NoteRelease(year, folders[i], keys[i]);
        // Opened as found, under the current user only: nothing is created
        // at this level. A profile the host has not made yet (the user never
        // started that release, or it was found only for the machine) is no
        // failure: writing one could spoil the host's own first start, and
        // the per-user stage serves it once the host has made it.
        afx::ScopedRegKey hostKey;
        const LONG opened = OpenKeyNotThroughLinks(HKEY_CURRENT_USER, keys[i], KEY_READ, &hostKey);
        if (opened == ERROR_CANT_ACCESS_FILE) {
            install.log.Result("not through a registry link: HKEY_CURRENT_USER\\", keys[i], false,
                               static_cast<DWORD>(opened));
            install.notDone.Add(StepsNotDone::Kind::RegistryNotWritten, keys[i]);
            continue;
        }
        if (opened != ERROR_SUCCESS) {
            install.log.Write(afx::UiText("no profile of this user's yet, served at a later logon: "
                                          "HKEY_CURRENT_USER\\") +
                              afx::UiText::System(keys[i]));
            continue;
        }
        // Created on the way by the first entry when missing; noted first, so
        // that it is undone after the entries in it.
        if (!KeyExists(hostKey.Get(), kApplicationsKey)) {
            install.journal.NoteKey(keys[i] + kApplicationsKey, false);
        }
        WriteEntry(hostKey.Get(), keys[i], MainEntryKeyName(year), install, [&](HKEY entry) {
            return afx::SetRegDword(entry, kValueManaged, kMainManaged) &&
                   afx::SetRegText(entry, kValueLoader, mainLoader);
        });
        const CString companionLoader = CompanionLoaderPath(folders[i], numbers.companion);
        WriteEntry(hostKey.Get(), keys[i], CompanionEntryKeyName(year), install, [&](HKEY entry) {
            return afx::SetRegDword(entry, kValueLoadCtrls, kCompanionLoadCtrls) &&
                   afx::SetRegText(entry, kValueLoader, companionLoader) &&
                   afx::SetRegDword(entry, kValueManaged, kCompanionManaged);
        });
    }
}

bool ProfileMissing(const FoundHosts& registry, HostRelease release) {
    const CStringArray& keys = registry.hostKeys[HostReleaseIndex(release)];
    for (int i = 0; i < keys.GetSize(); ++i) {
        if (!KeyExists(HKEY_CURRENT_USER, keys[i])) return true;
    }
    return false;
}
