// Whether users other than administrators may change a folder the plug-in
// is installed into, judged from owners and access lists as Windows' access
// check would answer a standard user: the hosts load what is in it into
// every user's session, so a folder such a user may rename, delete or add
// to lets them put their own code in its place. Platform-free: the Win32
// reader (system/folder_access_win32.h) fills these lists in, and tests
// write them as tables.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/afx_string.h"

// Whom an owner or an entry stands for, as far as a standard user goes:
// an administrator (the system, Administrators, TrustedInstaller, or the
// administrator who runs the setup); CREATOR OWNER or CREATOR GROUP, a
// placeholder that a new child turns into its creator; a group every
// standard user is in (Everyone, Users, Authenticated Users, INTERACTIVE);
// or any other account or group, which may be a standard user's.
enum class Trustee { Administrator, CreatorOwner, EveryUser, OtherAccount };

// The access rights and entry flags the judgement reads, with Windows' values.
namespace folder_right {
constexpr uint32_t kAddFile = 0x2;         // FILE_ADD_FILE
constexpr uint32_t kAddSubfolder = 0x4;    // FILE_ADD_SUBDIRECTORY
constexpr uint32_t kDeleteChild = 0x40;    // FILE_DELETE_CHILD
constexpr uint32_t kDelete = 0x10000;      // DELETE
constexpr uint32_t kWriteDac = 0x40000;    // WRITE_DAC
constexpr uint32_t kWriteOwner = 0x80000;  // WRITE_OWNER
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kGenericWrite = 0x40000000;
}  // namespace folder_right
namespace entry_flag {
constexpr uint8_t kInheritOnly = 0x08;  // INHERIT_ONLY_ACE: for children only
}  // namespace entry_flag

struct AccessEntry {
    Trustee trustee;
    bool allow;  // false: a deny entry
    uint32_t mask;
    uint8_t flags;  // the entry's inheritance flags
};

// One folder as the reader found it.
struct FolderAccess {
    enum class State {
        Read,
        Missing,     // the installation makes it, with its protected descriptor
        Unreadable,  // its owner or access list could not be read
        // The chosen folder an earlier installation made, as its record
        // says: the installation gives it its protected descriptor again,
        // every entry in it reset, whatever it allows now.
        ProtectedAnew,
    };
    CString folder;
    State state = State::Read;
    Trustee owner = Trustee::Administrator;
    bool hasDacl = true;  // false: a null DACL, which lets everybody do everything
    std::vector<AccessEntry> entries;
};

// What users other than administrators could do to a folder, as flags:
// own it (and so allow themselves anything), change its permissions or
// owner, rename or delete it, rename or delete what is in it, add files or
// folders to it; or its permissions could not be read, and nothing is known.
namespace folder_risk {
constexpr unsigned kOwnedByOther = 1u << 0;
constexpr unsigned kPermissionsChangeable = 1u << 1;
constexpr unsigned kRenamable = 1u << 2;
constexpr unsigned kContentRenamable = 1u << 3;
constexpr unsigned kAddable = 1u << 4;
constexpr unsigned kUnreadable = 1u << 5;
}  // namespace folder_risk

// The rights a standard user has on the folder itself: the entries that
// apply to it in their order (a deny counts for every standard user only
// when it names a group all of them are in), generic rights mapped, a null
// access list granting everything.
uint32_t StandardUserRights(const FolderAccess& access);

// The risks of one folder that exists; adding to it counts when `judgeAdding`.
unsigned JudgeFolder(const FolderAccess& access, bool judgeAdding);

struct UnsafeFolder {
    CString folder;
    unsigned risks;
};

// The chosen folder followed by every folder above it up to its root. A
// folder of the chain that exists must not be renamed, deleted, emptied of
// what leads to the installation, or have its permissions changed by users
// other than administrators; the chosen folder, when it exists, must not be
// added to either. Missing ones are made by the installation, protected, and
// a chosen folder protected anew is not judged.
// The unsafe folders, nearest first; none when the chain is safe.
std::vector<UnsafeFolder> JudgeChosenFolder(const std::vector<FolderAccess>& chain);

// The folder followed by every folder above it, up to and with its root
// ("C:\" or "\\server\share"), in normal form; empty when the folder is not
// an absolute path.
std::vector<CString> FoldersUpToRoot(const CString& folder);
