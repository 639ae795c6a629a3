// The copy that puts a file in place, on Wine's real file system.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/scoped_handles.h"
#include "system/file_copy.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"

namespace {

TEST(FileCopy, TheCopyKeepsTheSourcesLastWriteTime) {
    const ScopedTempFolder temp;
    const CString source = temp / "source.dll";
    ASSERT_TRUE(driver::WriteTextFile(source.str(), "module"));
    // Long before the copy, so that the copy's own time cannot pass for it.
    const SYSTEMTIME built = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME time;
    ASSERT_TRUE(SystemTimeToFileTime(&built, &time));
    {
        const afx::ScopedKernelHandle file(
            CreateFileA(source, FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &time));
    }
    CopyBuffer buffer;
    CopiedFile copied;
    ASSERT_TRUE(CopyToNewFile(source, temp / "copy.dll", buffer, &copied));
    WIN32_FILE_ATTRIBUTE_DATA copy = {};
    ASSERT_TRUE(GetFileAttributesExA(temp / "copy.dll", GetFileExInfoStandard, &copy));
    EXPECT_EQ(CompareFileTime(&copy.ftLastWriteTime, &time), 0);
}

}  // namespace
