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

}  // namespace
