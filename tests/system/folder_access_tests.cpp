// Who may change a folder the plug-in goes into, judged from its owner and
// access list: the shapes Windows gives folders, and the entries a user or
// a careless administrator adds.
#include <gtest/gtest.h>

#include "system/folder_access.h"

namespace {

using namespace folder_right;
using namespace folder_risk;
constexpr Trustee kAdmin = Trustee::Administrator;
constexpr Trustee kCreator = Trustee::CreatorOwner;
constexpr Trustee kEvery = Trustee::EveryUser;
constexpr Trustee kOther = Trustee::OtherAccount;
// Full control, read and execute, modify (no FILE_DELETE_CHILD), as Windows writes them.
constexpr uint32_t kFull = 0x1F01FF;
constexpr uint32_t kReadExecute = 0x1200A9;
constexpr uint32_t kModify = 0x1301BF;
constexpr uint8_t kChildren = 0x03;                                      // OI|CI
constexpr uint8_t kOnlyChildren = kChildren | entry_flag::kInheritOnly;  // OI|CI|IO
constexpr unsigned kEverything = kPermissionsChangeable | kRenamable | kContentRenamable | kAddable;

AccessEntry Allow(Trustee who, uint32_t mask, uint8_t flags = kChildren) {
    return {who, true, mask, flags};
}
AccessEntry Deny(Trustee who, uint32_t mask) {
    return {who, false, mask, kChildren};
}
FolderAccess Unread(FolderAccess::State state) {
    FolderAccess access;
    access.state = state;
    return access;
}
// Entries as Windows writes them on the shapes below.
const AccessEntry kAdminsFull = Allow(kAdmin, kFull);
const AccessEntry kUsersRead = Allow(kEvery, kReadExecute);
const AccessEntry kUsersModify = Allow(kEvery, kModify);
const AccessEntry kUsersModifyBelow = Allow(kEvery, kModify, kOnlyChildren);
const AccessEntry kUsersMakeFolders = Allow(kEvery, kAddSubfolder, 0);
const AccessEntry kEveryoneNoDelete = Deny(kEvery, kDelete);
const AccessEntry kCreatorBelow = Allow(kCreator, kGenericAll, kOnlyChildren);

TEST(FolderAccess, JudgesWhatAStandardUserMayDoToAFolder) {
    const struct {
        const char* shape;
        bool chosen;  // the chosen folder itself: adding to it counts
        unsigned risks;
        std::vector<AccessEntry> entries;
        Trustee owner = kAdmin;
    } cases[] = {
        {"Program Files", true, 0, {kAdminsFull, kUsersRead, kCreatorBelow}},
        {"C:\\Torvex made in C:\\", true, kRenamable | kAddable, {kUsersRead, kUsersModify}},
        {"C:\\ above the folder", false, 0, {kAdminsFull, kUsersModifyBelow, kUsersMakeFolders}},
        {"a user's own folder", true, kOwnedByOther, {kAdminsFull}, kOther},
        {"Everyone denied deleting first", true, kAddable, {kEveryoneNoDelete, kUsersModify}},
        {"a deny after the grant", true, kRenamable | kAddable, {kUsersModify, kEveryoneNoDelete}},
        {"one account denied", true, kRenamable | kAddable, {Deny(kOther, kModify), kUsersModify}},
        {"generic all for INTERACTIVE", true, kEverything, {Allow(kEvery, kGenericAll)}},
        {"generic write for an account", true, kAddable, {Allow(kOther, kGenericWrite)}},
        {"Users may set permissions", true, kPermissionsChangeable, {Allow(kEvery, kWriteDac)}},
        {"Users may delete children", false, kContentRenamable, {Allow(kEvery, kDeleteChild)}},
        {"CREATOR OWNER on the folder itself", true, 0, {Allow(kCreator, kFull, 0)}},
    };
    for (const auto& c : cases) {
        FolderAccess access;
        access.owner = c.owner;
        access.entries = c.entries;
        EXPECT_EQ(JudgeFolder(access, c.chosen), c.risks) << c.shape;
    }
    FolderAccess nullDacl;
    nullDacl.hasDacl = false;
    EXPECT_EQ(JudgeFolder(nullDacl, true), kEverything) << "a null DACL lets everybody in";
}

TEST(FolderAccess, JudgesTheChosenFolderAndEveryFolderAboveIt) {
    using State = FolderAccess::State;
    FolderAccess root;  // C:\ as Windows 10 gives it: users may make folders in it
    root.entries = {kUsersModifyBelow, kUsersMakeFolders};
    FolderAccess parent;  // may rename the folder it holds
    parent.entries = {Allow(kOther, kDeleteChild, 0)};
    FolderAccess madeBefore = root;  // by an earlier installation: protected anew
    madeBefore.state = State::ProtectedAnew;
    const struct {
        std::vector<FolderAccess> chain;
        std::vector<unsigned> risks;
    } cases[] = {
        {{Unread(State::Missing), root}, {}},
        {{root, root}, {kAddable}},  // an existing chosen folder that users may add to
        {{madeBefore, parent}, {kContentRenamable}},  // the folders above it still count
        {{Unread(State::Missing), parent, Unread(State::Unreadable)},
         {kContentRenamable, kUnreadable}},
    };
    for (const auto& c : cases) {
        std::vector<unsigned> risks;
        for (const UnsafeFolder& unsafe : JudgeChosenFolder(c.chain)) risks.push_back(unsafe.risks);
        EXPECT_EQ(risks, c.risks);
    }
    EXPECT_EQ(FoldersUpToRoot("C:\\Torvex\\x\\"),
              (std::vector<CString>{"C:\\Torvex\\x", "C:\\Torvex", "C:\\"}));
    EXPECT_EQ(FoldersUpToRoot("\\\\server\\share\\x"),
              (std::vector<CString>{"\\\\server\\share\\x", "\\\\server\\share"}));
    EXPECT_TRUE(FoldersUpToRoot("Torvex").empty());
}

}  // namespace
