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
FolderAccess Unread(const char* folder, FolderAccess::State state) {
    FolderAccess access;
    access.folder = folder;
    access.state = state;
    return access;
}

TEST(FolderAccess, JudgesWhatAStandardUserMayDoToAFolder) {
    const struct {
        const char* shape;
        Trustee owner;
        std::vector<AccessEntry> entries;
        bool chosen;  // the chosen folder itself: adding to it counts
        unsigned risks;
    } cases[] = {
        {"Program Files",
         kAdmin,
         {Allow(kAdmin, kFull), Allow(kEvery, kReadExecute),
          Allow(kCreator, kGenericAll, kOnlyChildren), Allow(kOther, kReadExecute)},
         true,
         0},
        {"C:\\Torvex made under C:\\",
         kAdmin,
         {Allow(kAdmin, kFull), Allow(kEvery, kReadExecute), Allow(kEvery, kModify)},
         true,
         kRenamable | kAddable},
        {"C:\\ above a folder",
         kAdmin,
         {Allow(kAdmin, kFull), Allow(kEvery, kModify, kOnlyChildren),
          Allow(kEvery, kAddSubfolder, 0)},
         false,
         0},
        {"C:\\ chosen itself",
         kAdmin,
         {Allow(kAdmin, kFull), Allow(kEvery, kAddSubfolder, 0)},
         true,
         kAddable},
        {"a user's own folder", kOther, {Allow(kAdmin, kFull)}, true, kOwnedByOther},
        {"Everyone denied deleting first",
         kAdmin,
         {Deny(kEvery, kDelete), Allow(kEvery, kModify)},
         true,
         kAddable},
        {"a deny after the grant",
         kAdmin,
         {Allow(kEvery, kModify), Deny(kEvery, kDelete)},
         true,
         kRenamable | kAddable},
        {"a deny for one account",
         kAdmin,
         {Deny(kOther, kModify), Allow(kEvery, kModify)},
         true,
         kRenamable | kAddable},
        {"generic all for INTERACTIVE", kAdmin, {Allow(kEvery, kGenericAll)}, true, kEverything},
        {"generic write for an account", kAdmin, {Allow(kOther, kGenericWrite)}, true, kAddable},
        {"Users may set permissions",
         kAdmin,
         {Allow(kEvery, kWriteDac)},
         true,
         kPermissionsChangeable},
        {"Users may delete children",
         kAdmin,
         {Allow(kEvery, kDeleteChild)},
         false,
         kContentRenamable},
        {"CREATOR OWNER on the folder itself", kAdmin, {Allow(kCreator, kFull, 0)}, true, 0},
        {"Users' modify for children only",
         kAdmin,
         {Allow(kEvery, kModify, kOnlyChildren)},
         true,
         0},
        {"Wine's folder of the running account",
         kAdmin,
         {Allow(kAdmin, kFull), Allow(kAdmin, kFull), Allow(kEvery, kReadExecute)},
         true,
         0},
        {"Wine's folder anyone may write",
         kAdmin,
         {Allow(kAdmin, kFull), Allow(kEvery, 0x1301FF)},
         true,
         kRenamable | kContentRenamable | kAddable},
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
    FolderAccess root;  // C:\ as Windows 10 gives it
    root.folder = "C:\\";
    root.entries = {Allow(kAdmin, kFull), Allow(kEvery, kModify, kOnlyChildren),
                    Allow(kEvery, kAddSubfolder, 0)};
    FolderAccess chosen = root;
    chosen.folder = "C:\\Torvex";
    EXPECT_EQ(JudgeChosenFolder({Unread("C:\\Torvex", FolderAccess::State::Missing), root}).size(),
              0u);
    const std::vector<UnsafeFolder> unsafe = JudgeChosenFolder({chosen, root});
    ASSERT_EQ(unsafe.size(), 1u);
    EXPECT_EQ(unsafe[0].folder, "C:\\Torvex");
    EXPECT_EQ(unsafe[0].risks, static_cast<unsigned>(kAddable));

    FolderAccess parent = root;  // may rename the folder it holds
    parent.folder = "D:\\Shared";
    parent.entries = {Allow(kOther, kDeleteChild, 0)};
    const std::vector<UnsafeFolder> above =
        JudgeChosenFolder({Unread("D:\\Shared\\Torvex", FolderAccess::State::Missing), parent,
                           Unread("D:\\", FolderAccess::State::Unreadable)});
    ASSERT_EQ(above.size(), 2u);
    EXPECT_EQ(above[0].risks, static_cast<unsigned>(kContentRenamable));
    EXPECT_EQ(above[1].risks, static_cast<unsigned>(kUnreadable));

    EXPECT_EQ(FoldersUpToRoot("C:\\Torvex\\x\\"),
              (std::vector<CString>{"C:\\Torvex\\x", "C:\\Torvex", "C:\\"}));
    EXPECT_EQ(FoldersUpToRoot("D:"), (std::vector<CString>{"D:\\"}));
    EXPECT_EQ(FoldersUpToRoot("\\\\server\\share\\x"),
              (std::vector<CString>{"\\\\server\\share\\x", "\\\\server\\share"}));
    EXPECT_TRUE(FoldersUpToRoot("Torvex").empty());
}

}  // namespace
