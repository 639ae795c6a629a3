// The title of the setup dialog, made from the version number.
#include <gtest/gtest.h>

#include <string>

#include "setup/setup_title.h"

namespace {

// The rules hold for any version; this one stands for the build's.
constexpr int kVersion = 20251030;

TEST(SetupTitle, ShowsTheVersionAndTheBuildsIsOne) {
    EXPECT_EQ(FormatSetupTitle(kVersion), "批打印软件 V2025.10.30");
    // The record names the build's version in the form it is read back from.
    EXPECT_EQ(ParseSetupVersion(FormatSetupVersion(kSetupVersion)), kSetupVersion);
}

TEST(SetupTitle, MinorAndPatchHaveAtLeastTwoDigits) {
    EXPECT_EQ(FormatSetupTitle(20250105), "批打印软件 V2025.01.05");
    EXPECT_EQ(FormatSetupTitle(20251200), "批打印软件 V2025.12.00");
    EXPECT_EQ(FormatSetupTitle(20260910), "批打印软件 V2026.09.10");
    EXPECT_EQ(FormatSetupTitle(20261231), "批打印软件 V2026.12.31");
}

// The version as Active Setup compares it with each user's stamp: never
// lower, and higher whenever every user must be served again.
TEST(SetupTitle, ActiveSetupReadsTheVersionNumberByNumber) {
    // First, moved, repaired, upgraded, rolled back, upgraded again, no version.
    EXPECT_EQ(NextActiveSetupVersion(kVersion, "", false), "2025,10,30");
    EXPECT_EQ(NextActiveSetupVersion(20260105, "", false), "2026,1,5");
    EXPECT_EQ(NextActiveSetupVersion(kVersion, "2025,10,30", true), "2025,10,30,1");
    EXPECT_EQ(NextActiveSetupVersion(kVersion, "2025,10,30,1", false), "2025,10,30,1");
    EXPECT_EQ(NextActiveSetupVersion(20260105, "2025,10,30,7", true), "2026,1,5");
    EXPECT_EQ(NextActiveSetupVersion(kVersion, "2026,1,5", true), "2026,1,5,1");
    EXPECT_EQ(NextActiveSetupVersion(20260105, "2026,1,5,1", true), "2026,1,5,2");
    EXPECT_EQ(NextActiveSetupVersion(kVersion, "2026,1,5,1,1", true), "2025,10,30");
}

// Which version wins: the installed one is read from its record.
TEST(SetupTitle, AnOlderVersionIsRefusedUnlessARollbackIsAskedFor) {
    EXPECT_EQ(ParseSetupVersion("2025.10.30"), 20251030);
    for (const char* bad : {"", "2025.10.3", "2025.10.30 ", "+202.10.30", "2025,10,30", "x"}) {
        EXPECT_EQ(ParseSetupVersion(bad), 0) << bad;
    }
    EXPECT_EQ(StepOver(0, kVersion, false), VersionStep::Install);
    EXPECT_EQ(StepOver(20250401, kVersion, false), VersionStep::Upgrade);
    EXPECT_EQ(StepOver(kVersion, kVersion, true), VersionStep::Repair);
    EXPECT_EQ(StepOver(20260315, kVersion, false), VersionStep::Downgrade);
    EXPECT_EQ(StepOver(20260315, kVersion, true), VersionStep::Rollback);
}

// The program's Chinese literals are GBK in the binary, whatever the
// encoding of the sources: the ANSI interfaces of code page 936 read them.
TEST(SetupTitle, ChineseTextsAreGbkInTheBinary) {
    const std::string title = FormatSetupTitle(kVersion).GetString();
    const std::string gbkTitle = "\xC5\xFA\xB4\xF2\xD3\xA1\xC8\xED\xBC\xFE V2025.10.30";
    EXPECT_EQ(title, gbkTitle);
    EXPECT_EQ(std::string("T-批打印软件安装"),
              "T-\xC5\xFA\xB4\xF2\xD3\xA1\xC8\xED\xBC\xFE\xB0\xB2\xD7\xB0");
}

}  // namespace
