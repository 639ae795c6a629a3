// The rig itself: the tests must see what the target systems have.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/afx_app_name.h"

namespace {

constexpr UINT kSimplifiedChineseCodePage = 936;

TEST(Rig, AnsiCodePageIsGbk) {
    EXPECT_EQ(GetACP(), kSimplifiedChineseCodePage);
}

TEST(Rig, AppNameIsExecutableNameWithoutExtension) {
    EXPECT_EQ(afx::GetAppName(), "rig_tests");
}

// Windows refuses to write a read-only file; Wine run by root does not, and
// every test of read-only handling would then pass whatever the code does.
TEST(Rig, ReadOnlyFileRefusesWriting) {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    ASSERT_NE(GetTempFileNameA(folder, "rig", 0, path), 0u);
    ASSERT_TRUE(SetFileAttributesA(path, FILE_ATTRIBUTE_READONLY));
    const HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    const bool opened = file != INVALID_HANDLE_VALUE;
    if (opened) CloseHandle(file);
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
    EXPECT_FALSE(opened) << "is Wine run by root? see scripts/wine-env.sh";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
