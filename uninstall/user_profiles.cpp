#include "uninstall/user_profiles.h"

#include <windows.h>
// after windows.h, which it builds on
#include <sddl.h>

#include <vector>

#include "entries/active_setup.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_registry.h"
#include "hosts/host_discovery.h"
#include "hosts/system_folders.h"
#include "record/record_store.h"
#include "run/run_log.h"
#include "run/running_account.h"
#include "system/file_ops.h"
#include "system/privileges.h"
#include "text/path_text.h"
#include "uninstall/removal.h"

namespace {

// A profile's registry hive, in its folder.
constexpr char kHiveFileName[] = "NTUSER.DAT";
// Where a hive is loaded for the while, below HKEY_USERS.
constexpr char kLoadedHiveFormat[] = "Torvex-Uninstall-%lu-%d";
constexpr DWORD kNameBufferSize = 256;
constexpr DWORD kFolderBufferSize = 1024;

struct Profile {
    CString sid;
    CString folder;  // empty when the list names none that is absolute
};

// HKEY_CURRENT_USER of this process made another user's hive for the
// object's lifetime, so that discovery and the removal apply to that user;
// then the running account's own again. NULL ends the override: a handle
// saved from RegOpenKeyEx(HKEY_CURRENT_USER, NULL) is the predefined handle
// itself, which cannot be an override, so restoring with it fails and keeps
// the hive open (it could then not be unloaded).
class ScopedCurrentUser {
public:
    explicit ScopedCurrentUser(HKEY hive)
        : m_active(RegOverridePredefKey(HKEY_CURRENT_USER, hive) == ERROR_SUCCESS) {}
    ~ScopedCurrentUser() {
        if (m_active) RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    }
    ScopedCurrentUser(const ScopedCurrentUser&) = delete;
    ScopedCurrentUser& operator=(const ScopedCurrentUser&) = delete;

    bool IsActive() const { return m_active; }

private:
    const bool m_active;
};

// A profile's hive loaded from its file below HKEY_USERS for the object's
// lifetime, with the privileges that takes, and unloaded again.
class ScopedLoadedHive {
public:
    ScopedLoadedHive(const CString& file, RunLog& log)
        : m_privileges({SE_BACKUP_NAME, SE_RESTORE_NAME}), m_log(log) {
        static int loads = 0;
        m_name.Format(kLoadedHiveFormat, GetCurrentProcessId(), ++loads);
        m_result = RegLoadKeyA(HKEY_USERS, m_name, file);
        if (m_result == ERROR_SUCCESS) m_key = afx::OpenRegKey(HKEY_USERS, m_name);
    }
    ~ScopedLoadedHive() {
        if (m_result != ERROR_SUCCESS) return;
        m_key.Reset();
        const LONG unloaded = RegUnLoadKeyA(HKEY_USERS, m_name);
        m_log.Result("unload the hive HKEY_USERS\\", m_name, unloaded == ERROR_SUCCESS,
                     static_cast<DWORD>(unloaded));
    }
    ScopedLoadedHive(const ScopedLoadedHive&) = delete;
    ScopedLoadedHive& operator=(const ScopedLoadedHive&) = delete;

    HKEY Key() const { return m_key.Get(); }
    LONG Result() const { return m_result; }

private:
    const ScopedPrivileges m_privileges;
    RunLog& m_log;
    CString m_name;
    LONG m_result = ERROR_INVALID_FUNCTION;
    afx::ScopedRegKey m_key;
};

bool IsWellFormedSid(const char* text) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(text, &sid)) return false;
    LocalFree(sid);
    return true;
}

// The user profiles the machine lists, but the running account's own and
// those of service accounts.
std::vector<Profile> ListProfiles(const CString& ownSid) {
    std::vector<Profile> profiles;
    const afx::ScopedRegKey list = afx::OpenRegKey(HKEY_LOCAL_MACHINE, kProfileListKey, KEY_READ);
    for (DWORD index = 0; list; ++index) {
        char name[kNameBufferSize];
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (IsServiceAccountSid(name) || afx::MbsICmp(name, ownSid) == 0 ||
            !IsWellFormedSid(name)) {
            continue;
        }
        // RRF_RT_REG_SZ expands a REG_EXPAND_SZ ("%SystemDrive%\\Users\\...").
        char folder[kFolderBufferSize] = {};
        DWORD size = sizeof(folder) - 1;
        const afx::ScopedRegKey profile = afx::OpenRegKey(list.Get(), name, KEY_QUERY_VALUE);
        const bool read =
            profile && RegGetValueA(profile.Get(), nullptr, kProfileFolderValue, RRF_RT_REG_SZ,
                                    nullptr, folder, &size) == ERROR_SUCCESS;
        profiles.push_back({name, read && IsAbsolutePath(folder) ? CString(folder) : CString()});
    }
    return profiles;
}

// What the profiles are cleared with.
struct Sweep {
    const CString& installFolder;
    const SystemFolders system;  // found before any hive stands for HKEY_CURRENT_USER
    UninstallOutcome& outcome;
    RunLog& log;
};

// The stage's work in the hive HKEY_CURRENT_USER stands for now, shown as `root`.
void ClearCurrentUser(const char* root, Sweep& sweep) {
    InstallRecord record;
    if (ReadUserRecord(&record)) {
        FoundHosts hosts;
        DiscoverHostInstallationsInto(hosts, sweep.system);
        RemoveRecordedKeys(record, FindServedPlaces(sweep.installFolder, &record, hosts), root,
                           RecordKind::User, sweep.outcome, sweep.log);
    }
    DeleteUserStageTraces();
}

// In the hive loaded under HKEY_USERS, or in the one loaded from the
// profile's file for the while; false when neither can be reached.
bool ClearProfile(const Profile& profile, Sweep& sweep) {
    const CString root = "HKEY_USERS\\" + profile.sid + "\\";
    const afx::ScopedRegKey loaded = afx::OpenRegKey(HKEY_USERS, profile.sid);
    if (loaded) {
        const ScopedCurrentUser user(loaded.Get());
        if (user.IsActive()) ClearCurrentUser(root, sweep);
        return user.IsActive();
    }
    // A profile whose folder the list does not name cannot be reached.
    if (profile.folder.IsEmpty()) return false;
    const CString file = JoinPath(profile.folder, kHiveFileName);
    if (GetPathKind(file) == PathKind::Absent) {
        // No hive: the user never logged on, nothing was done for them.
        sweep.log.Write(afx::UiText("a profile without a hive, nothing to clear: ") +
                        afx::UiText::System(root));
        return true;
    }
    const ScopedLoadedHive hive(file, sweep.log);
    sweep.log.Result("load the hive of", file, hive.Key() != nullptr,
                     static_cast<DWORD>(hive.Result()));
    if (!hive.Key()) return false;
    const ScopedCurrentUser user(hive.Key());
    if (user.IsActive()) ClearCurrentUser(root, sweep);
    return user.IsActive();
}

}  // namespace

bool RemoveFromUserProfiles(const CString& installFolder, UninstallOutcome& outcome, RunLog& log) {
    const LONG result = DeleteActiveSetupEntry();
    const bool removed = result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
    log.Result("remove the Active Setup entry HKEY_LOCAL_MACHINE\\", kActiveSetupKey, removed,
               static_cast<DWORD>(result));
    if (!removed) NoteNotRemoved(outcome, CString("HKEY_LOCAL_MACHINE\\") + kActiveSetupKey);
    Sweep sweep{installFolder, SystemFoldersOfThisMachine(), outcome, log};
    ClearCurrentUser("HKEY_CURRENT_USER\\", sweep);
    for (const Profile& profile : ListProfiles(CurrentAccount().sid)) {
        if (ClearProfile(profile, sweep)) continue;
        const CString& shown = profile.folder.IsEmpty() ? profile.sid : profile.folder;
        log.Write(afx::UiText("the per-user entries of this profile could not be cleared: ") +
                  afx::UiText::System(shown));
        outcome.profilesNotCleared.push_back(shown);
    }
    return removed;
}
