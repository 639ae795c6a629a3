// The title of the setup dialog, made from the version number.
#include <gtest/gtest.h>

#include <string>

#include "setup/setup_title.h"

namespace {

TEST(SetupTitle, ShowsTheBuiltInVersion) {
    EXPECT_EQ(g_nSetupVersion, 20251030);
    EXPECT_EQ(FormatSetupTitle(g_nSetupVersion), "批打印软件 V2025.10.30");
}

TEST(SetupTitle, MinorAndPatchHaveAtLeastTwoDigits) {
    EXPECT_EQ(FormatSetupTitle(20250105), "批打印软件 V2025.01.05");
    EXPECT_EQ(FormatSetupTitle(20251200), "批打印软件 V2025.12.00");
    EXPECT_EQ(FormatSetupTitle(20260910), "批打印软件 V2026.09.10");
    EXPECT_EQ(FormatSetupTitle(20261231), "批打印软件 V2026.12.31");
}

// The version as Active Setup compares it with each user's stamp.
TEST(SetupTitle, ActiveSetupReadsTheVersionNumberByNumber) {
    EXPECT_EQ(ActiveSetupVersion(g_nSetupVersion), "2025,10,30");
    EXPECT_EQ(ActiveSetupVersion(20260105), "2026,1,5");
    // A move to another folder counts up; a new version starts anew.
    EXPECT_EQ(NextActiveSetupVersion(g_nSetupVersion, "", false), "2025,10,30");
    EXPECT_EQ(NextActiveSetupVersion(g_nSetupVersion, "2025,10,30", true), "2025,10,30,1");
    EXPECT_EQ(NextActiveSetupVersion(g_nSetupVersion, "2025,10,30,1", false), "2025,10,30,1");
    EXPECT_EQ(NextActiveSetupVersion(g_nSetupVersion, "2025,10,30,7", true), "2025,10,30,8");
    EXPECT_EQ(NextActiveSetupVersion(20260105, "2025,10,30,7", true), "2026,1,5,1");
    EXPECT_EQ(NextActiveSetupVersion(g_nSetupVersion, "2025,10,30,x", false), "2025,10,30");
}

// The program's Chinese literals are GBK in the binary, whatever the
// encoding of the sources: the ANSI interfaces of code page 936 read them.
TEST(SetupTitle, ChineseTextsAreGbkInTheBinary) {
    const std::string title = FormatSetupTitle(g_nSetupVersion).GetString();
    const std::string gbkTitle = "\xC5\xFA\xB4\xF2\xD3\xA1\xC8\xED\xBC\xFE V2025.10.30";
    EXPECT_EQ(title, gbkTitle);
    EXPECT_EQ(std::string("T-批打印软件安装"),
              "T-\xC5\xFA\xB4\xF2\xD3\xA1\xC8\xED\xBC\xFE\xB0\xB2\xD7\xB0");
}

}  // namespace
