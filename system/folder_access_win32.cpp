#include "system/folder_access_win32.h"

#include <windows.h>
// after windows.h, which they build on
#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

#include "framework/scoped_handles.h"
#include "system/folder_security.h"

namespace {

// NT SERVICE\TrustedInstaller, which owns the system's own folders.
constexpr char kTrustedInstallerSid[] =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

constexpr WELL_KNOWN_SID_TYPE kAdministrators[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid};
constexpr WELL_KNOWN_SID_TYPE kCreators[] = {WinCreatorOwnerSid, WinCreatorGroupSid};
constexpr WELL_KNOWN_SID_TYPE kEveryUser[] = {WinWorldSid, WinBuiltinUsersSid,
                                              WinAuthenticatedUserSid, WinInteractiveSid};

template <size_t N>
bool IsOneOf(PSID sid, const WELL_KNOWN_SID_TYPE (&types)[N]) {
    for (const WELL_KNOWN_SID_TYPE type : types) {
        if (IsWellKnownSid(sid, type)) return true;
    }
    return false;
}

// Sorts SIDs into trustees. The account that runs the setup counts as an
// administrator: the setup runs elevated, so it is an administrator's or the
// system's, and what it owns it could change anyway.
class TrusteeSorter {
public:
    TrusteeSorter() {
        HANDLE raw = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
            const afx::ScopedKernelHandle token(raw);
            DWORD size = 0;
            GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
            m_user.resize(size);
            if (size == 0 ||
                !GetTokenInformation(token.Get(), TokenUser, m_user.data(), size, &size)) {
                m_user.clear();
            }
        }
        PSID sid = nullptr;
        if (ConvertStringSidToSidA(kTrustedInstallerSid, &sid)) m_trustedInstaller.reset(sid);
    }

    Trustee Sort(PSID sid) const {
        if (IsOneOf(sid, kAdministrators) || IsSame(sid, m_trustedInstaller.get()) ||
            (!m_user.empty() &&
             IsSame(sid, reinterpret_cast<const TOKEN_USER*>(m_user.data())->User.Sid))) {
            return Trustee::Administrator;
        }
        if (IsOneOf(sid, kCreators)) return Trustee::CreatorOwner;
        if (IsOneOf(sid, kEveryUser)) return Trustee::EveryUser;
        return Trustee::OtherAccount;
    }

private:
    static bool IsSame(PSID sid, PSID other) { return other && EqualSid(sid, other); }

    std::vector<BYTE> m_user;
    std::unique_ptr<void, LocalFreeDeleter> m_trustedInstaller;
};

// One entry of the access list. Object and callback entries are rare on
// files: an allowing one is taken as granting a standard user its rights,
// and a denying one as keeping nobody out.
bool ReadEntry(const void* raw, const TrusteeSorter& sorter, Trustee owner, AccessEntry* entry) {
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);  // the deny layout is the same
    entry->flags = header->AceFlags;
    entry->mask = ace->Mask;
    switch (header->AceType) {
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
            entry->allow = header->AceType != ACCESS_DENIED_ACE_TYPE;
            const PSID sid = const_cast<DWORD*>(&ace->SidStart);
            // OWNER RIGHTS stands for whoever owns the folder.
            entry->trustee =
                IsWellKnownSid(sid, WinCreatorOwnerRightsSid) ? owner : sorter.Sort(sid);
            return true;
        }
        case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE:
            entry->allow = true;
            entry->trustee = Trustee::OtherAccount;
            return true;
        default:
            return false;
    }
}

FolderAccess Read(const CString& folder, const TrusteeSorter& sorter) {
    FolderAccess access;
    access.folder = folder;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR raw = nullptr;
    const DWORD error = GetNamedSecurityInfoA(
        folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
        nullptr, &dacl, nullptr, &raw);
    const SecurityDescriptorPtr descriptor(raw);
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        access.state = FolderAccess::State::Missing;
        return access;
    }
    if (error != ERROR_SUCCESS || !owner) {
        access.state = FolderAccess::State::Unreadable;
        return access;
    }
    access.owner = sorter.Sort(owner);
    access.hasDacl = dacl != nullptr;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        AccessEntry entry{};
        if (GetAce(dacl, i, &ace) && ReadEntry(ace, sorter, access.owner, &entry)) {
            access.entries.push_back(entry);
        }
    }
    return access;
}

}  // namespace

FolderAccess ReadFolderAccess(const CString& folder) {
    return Read(folder, TrusteeSorter());
}

std::vector<UnsafeFolder> FindUnsafeFolders(const CString& chosenFolder, bool protectedAnew) {
    const TrusteeSorter sorter;
    std::vector<FolderAccess> chain;
    for (const CString& folder : FoldersUpToRoot(chosenFolder))
        chain.push_back(Read(folder, sorter));
    if (protectedAnew && !chain.empty() && chain[0].state != FolderAccess::State::Missing) {
        chain[0].state = FolderAccess::State::ProtectedAnew;
    }
    return JudgeChosenFolder(chain);
}
