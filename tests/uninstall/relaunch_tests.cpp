// The uninstaller's copy of itself that its first process starts: nobody
// may change or replace it between the copy and the start. Wine keeps no
// security descriptors, so only the folder's creation and the holding of
// the file can be shown here; that only administrators may write the
// folder shows on Windows alone.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/afx_app_name.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "uninstall/uninstaller.h"

namespace {

TEST(HeldCopy, NobodyCanWriteDeleteOrRenameTheFileUntilItRuns) {
    HeldCopy copy;
    ASSERT_TRUE(MakeHeldCopy(afx::GetModulePath(), &copy)) << copy.failedStep << " " << copy.error;
    const afx::ScopedKernelHandle writer(CreateFileA(
        copy.path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer.IsValid());
    EXPECT_FALSE(DeleteFileA(copy.path));
    EXPECT_FALSE(MoveFileA(copy.path, copy.path + ".swapped"));
    // The start itself goes through, held as it is.
    afx::ScopedKernelHandle reader(CreateFileA(copy.path, GENERIC_READ | GENERIC_EXECUTE,
                                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader.IsValid());
    reader.Reset();
    copy.held.Reset();
    EXPECT_TRUE(DeleteFileA(copy.path));
    EXPECT_TRUE(RemoveDirectoryA(copy.folder));
}

TEST(HeldCopy, ATemporaryFolderThatCannotBeMadeIsSaid) {
    ScopedTempFolder temp;
    const CString missing = temp / "no such folder";
    char previous[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", previous, MAX_PATH);
    SetEnvironmentVariableA("TMP", missing);
    HeldCopy copy;
    const bool made = MakeHeldCopy(afx::GetModulePath(), &copy);
    SetEnvironmentVariableA("TMP", previous);
    EXPECT_FALSE(made);
    EXPECT_STREQ(copy.failedStep, "temporary folder");
}

}  // namespace
