// The journal of an installation on Wine's real file system: an undone copy
// leaves the folders as they were, a complete one keeps nothing aside.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "deploy/install_journal.h"
#include "tests/deploy/deploy_test_support.h"

namespace {

using deploy_test::IsReadOnly;
using deploy_test::ListFolder;
using deploy_test::MakeFolder;
using deploy_test::ReadTextFile;
using deploy_test::WriteTextFile;
using Origin = InstallRecord::Origin;

class InstallJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MakeFolder(source));
        ASSERT_TRUE(MakeFolder(target));
        ASSERT_TRUE(WriteTextFile(source + "\\a.dll", "new a"));
        ASSERT_TRUE(WriteTextFile(source + "\\b.dll", "new b"));
        ASSERT_TRUE(WriteTextFile(target + "\\a.dll", "old a"));
        ASSERT_TRUE(SetFileAttributesA(target + "\\a.dll", FILE_ATTRIBUTE_READONLY));
    }

    // Replaces a.dll, creates a folder and b.dll in it.
    void Install() {
        ASSERT_TRUE(journal.InstallFile(source + "\\a.dll", target + "\\a.dll"));
        ASSERT_TRUE(journal.CreateFolder(target + "\\sub"));
        ASSERT_TRUE(journal.InstallFile(source + "\\b.dll", target + "\\sub\\b.dll"));
        EXPECT_EQ(ReadTextFile(target + "\\a.dll"), "new a");
    }

    ScopedTempFolder temp;
    const CString source = temp / "src";
    const CString target = temp / "dst";
    InstallJournal journal;
};

TEST_F(InstallJournalTest, RollbackPutsEveryFileAndFolderBackAsItWas) {
    Install();
    journal.Rollback();
    EXPECT_EQ(ReadTextFile(target + "\\a.dll"), "old a");
    EXPECT_TRUE(IsReadOnly(target + "\\a.dll"));
    EXPECT_EQ(ListFolder(target).size(), 3u) << "only ., .. and a.dll";
}

TEST_F(InstallJournalTest, CommitKeepsNothingAsideAndRecordsWhatWasThereBefore) {
    Install();
    journal.Commit();
    EXPECT_EQ(ListFolder(target).size(), 4u) << "., .., a.dll and sub";
    EXPECT_FALSE(IsReadOnly(target + "\\a.dll"));

    const InstallRecord record = journal.Record(target);
    ASSERT_EQ(record.files.size(), 2u);
    EXPECT_EQ(record.files[0].origin, Origin::Replaced);
    EXPECT_EQ(record.files[1].origin, Origin::New);
    EXPECT_EQ(record.files[1].size, 5u);
    ASSERT_EQ(record.createdFolders.size(), 1u);
    EXPECT_EQ(record.createdFolders[0], target + "\\sub");
}

TEST_F(InstallJournalTest, AFailedCopyLeavesTheOldFileInPlace) {
    EXPECT_FALSE(journal.InstallFile(source + "\\missing.dll", target + "\\a.dll"));
    EXPECT_EQ(ReadTextFile(target + "\\a.dll"), "old a");
    EXPECT_EQ(ListFolder(target).size(), 3u) << "nothing kept aside";
}

}  // namespace
