#include "system/folder_access.h"

#include "text/path_text.h"

namespace {

using namespace folder_right;
using namespace folder_risk;

// Every right the judgement reads: what GENERIC_ALL means for a folder.
constexpr uint32_t kJudgedRights =
    kAddFile | kAddSubfolder | kDeleteChild | kDelete | kWriteDac | kWriteOwner;
// What GENERIC_WRITE means for a folder, as far as the judgement goes:
// FILE_GENERIC_WRITE holds FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY.
constexpr uint32_t kGenericWriteRights = kAddFile | kAddSubfolder;

uint32_t MapGeneric(uint32_t mask) {
    if (mask & kGenericAll) mask |= kJudgedRights;
    if (mask & kGenericWrite) mask |= kGenericWriteRights;
    return mask & kJudgedRights;
}

bool MayBeStandardUser(Trustee trustee) {
    return trustee == Trustee::EveryUser || trustee == Trustee::OtherAccount;
}

}  // namespace

uint32_t StandardUserRights(const FolderAccess& access) {
    if (!access.hasDacl) return kJudgedRights;
    uint32_t denied = 0;
    uint32_t granted = 0;
    for (const AccessEntry& entry : access.entries) {
        if (entry.flags & entry_flag::kInheritOnly) continue;
        const uint32_t rights = MapGeneric(entry.mask);
        if (!entry.allow) {
            // A deny keeps out only those it names: a group every standard
            // user is in, or some account that may not be the one at hand.
            if (entry.trustee == Trustee::EveryUser) denied |= rights;
        } else if (MayBeStandardUser(entry.trustee)) {
            granted |= rights & ~denied;
        }
    }
    return granted;
}

unsigned JudgeFolder(const FolderAccess& access, bool judgeAdding) {
    unsigned risks = 0;
    if (access.owner != Trustee::Administrator) risks |= kOwnedByOther;
    const uint32_t rights = StandardUserRights(access);
    if (rights & (kWriteDac | kWriteOwner)) risks |= kPermissionsChangeable;
    if (rights & kDelete) risks |= kRenamable;
    if (rights & kDeleteChild) risks |= kContentRenamable;
    if (judgeAdding && (rights & (kAddFile | kAddSubfolder))) risks |= kAddable;
    return risks;
}

std::vector<UnsafeFolder> JudgeChosenFolder(const std::vector<FolderAccess>& chain) {
    std::vector<UnsafeFolder> unsafe;
    for (size_t i = 0; i < chain.size(); ++i) {
        unsigned risks = 0;
        switch (chain[i].state) {
            case FolderAccess::State::Missing:
            case FolderAccess::State::ProtectedAnew:
                continue;
            case FolderAccess::State::Unreadable:
                risks = kUnreadable;
                break;
            case FolderAccess::State::Read:
                risks = JudgeFolder(chain[i], i == 0);
                break;
        }
        if (risks != 0) unsafe.push_back({chain[i].folder, risks});
    }
    return unsafe;
}

std::vector<CString> FoldersUpToRoot(const CString& folder) {
    std::vector<CString> chain;
    CString path;
    if (!NormalizePath(AsFolderPath(folder), &path)) return chain;
    for (;;) {
        chain.push_back(path);
        CString parent;
        // A drive root's parent normalizes to itself; a share's is no path.
        if (!NormalizePath(AsFolderPath(ParentFolder(path)), &parent) || parent == path) {
            return chain;
        }
        path = parent;
    }
}
