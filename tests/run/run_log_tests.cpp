// The run's log on Wine's real file system: a name an ordinary user may
// have planted something at is written only when it is a plain file of its
// own, and nothing found there is emptied or written through.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "run/run_log.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "tools/driver/sample_machine.h"

namespace {

using driver::ReadTextFile;
using driver::WriteTextFile;

TEST(RunLog, WritesOnlyAPlainFileOfItsOwn) {
    ScopedTempFolder temp;
    const std::string target = (temp / "someone's.txt").str();
    const std::string held = (temp / "held.log").str();
    ASSERT_TRUE(WriteTextFile(target, "keep me"));
    ASSERT_TRUE(WriteTextFile(held, "keep me"));
    ASSERT_TRUE(CreateHardLinkA((temp / "linked.log").str().c_str(), target.c_str(), nullptr));
    ASSERT_TRUE(driver::CreateFolders((temp / "folder.log").str()));
    // A user's folder link, not the log's own folder but one further up.
    const std::string elsewhere = (temp / "important\\sub").str();
    ASSERT_TRUE(driver::CreateFolders(elsewhere));
    ASSERT_TRUE(MakeUnixLink(temp.Path().str(), "important", "lnk"));
    const HANDLE holder =
        CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const struct {
        CString path;
        std::string refusal;
    } planted[] = {
        {temp / "linked.log", "a file with 2 names"},
        {temp / "folder.log", "a folder"},
        {CString(held), "cannot be opened (error 32"},
        {"NUL", "a device"},
        {temp / "lnk\\sub\\planted.dll", "its folder " + (temp / "lnk").str() + " is a link"},
    };
    for (const auto& p : planted) {
        RunLog log;
        CString refusal;
        EXPECT_FALSE(log.Open(p.path, false, &refusal)) << p.path.str();
        EXPECT_EQ(refusal.str().rfind(p.refusal, 0), 0u) << p.path.str() << ": " << refusal.str();
    }
    CloseHandle(holder);
    EXPECT_EQ(ReadTextFile(target), "keep me");
    EXPECT_EQ(ReadTextFile(held), "keep me");
    EXPECT_FALSE(driver::FileExists(elsewhere + "\\planted.dll"));
    EXPECT_TRUE(RemoveUnixLink(temp.Path().str(), "lnk"));
}

TEST(RunLog, AFileOfItsOwnIsEmptiedOrContinuedByTheSecondProcess) {
    ScopedTempFolder temp;
    const CString path = temp / "setup.log";
    ASSERT_TRUE(WriteTextFile(path.str(), "an earlier run\r\n"));
    CString refusal;
    {
        RunLog first;
        ASSERT_TRUE(first.Open(path, false, &refusal)) << refusal.str();
        first.Write("first");
        {
            RunLog second;  // the uninstaller's second process, while the first holds the log
            ASSERT_TRUE(second.Open(path, true, &refusal)) << refusal.str();
            second.Write("second");
        }
        first.Write("first again");
    }
    const std::string text = ReadTextFile(path.str());
    EXPECT_EQ(text.find("an earlier run"), std::string::npos) << text;
    const size_t second = text.find(" second\r\n");
    EXPECT_NE(second, std::string::npos) << text;
    EXPECT_LT(text.find(" first\r\n"), second) << text;
    EXPECT_NE(text.find(" first again\r\n", second), std::string::npos) << text;
}

}  // namespace
