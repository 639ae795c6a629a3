// A real folder's owner and access list as Wine reports them (made from
// the Unix mode bits: Wine keeps no descriptors), read and judged.
#include <gtest/gtest.h>
#include <windows.h>

#include "system/folder_access_win32.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

TEST(FolderAccessReader, ReadsARealFolderAndSeesWhenAnyoneMayChangeIt) {
    ScopedTempFolder temp;
    const CString folder = temp / "chosen";
    ASSERT_TRUE(driver::CreateFolders(folder.str()));
    const FolderAccess access = ReadFolderAccess(folder);
    ASSERT_EQ(access.state, FolderAccess::State::Read);
    EXPECT_EQ(access.owner, Trustee::Administrator) << "the account that runs the setup";
    ASSERT_FALSE(access.entries.empty());
    EXPECT_EQ(access.entries.back().trustee, Trustee::EveryUser) << "Everyone reads";
    EXPECT_TRUE(FindUnsafeFolders(folder).empty()) << "nor any folder above it";

    ASSERT_TRUE(StartUnixChmod(folder.str(), "0777"));
    ASSERT_TRUE(driver::WaitUntil([&] { return !FindUnsafeFolders(folder).empty(); }));
    const std::vector<UnsafeFolder> unsafe = FindUnsafeFolders(folder);
    ASSERT_EQ(unsafe.size(), 1u);
    EXPECT_EQ(unsafe[0].folder, folder);
    EXPECT_EQ(unsafe[0].risks,
              static_cast<unsigned>(folder_risk::kRenamable | folder_risk::kContentRenamable |
                                    folder_risk::kAddable));
}

}  // namespace
