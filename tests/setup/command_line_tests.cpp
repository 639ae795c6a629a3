// The switches IT staff type, parsed as they expect: any case, any order,
// quoted values; anything else refused.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "setup/command_line.h"

namespace {

TEST(ParseCommandLine, TakesTheSwitchesOfEachProgram) {
    const struct {
        const char* arguments;
        CommandLineKind kind;
        bool parsed;
        RunMode mode;
        const char* folder;
        const char* log;
        const char* named = "";  // the argument a refusal names first
    } cases[] = {
        {"", CommandLineKind::Setup, true, RunMode::Interactive, "", ""},
        {"/VERYSILENT", CommandLineKind::Setup, true, RunMode::VerySilent, "", ""},
        {"/s", CommandLineKind::Setup, true, RunMode::VerySilent, "", ""},
        {"/VerySilent /SILENT", CommandLineKind::Setup, true, RunMode::VerySilent, "", ""},
        {"/SILENT /SUPPRESSMSGBOXES /NORESTART", CommandLineKind::Setup, true, RunMode::Silent, "",
         ""},
        {"/dir=\"C:\\Program Files\\Torvex\" /S", CommandLineKind::Setup, true, RunMode::VerySilent,
         "C:\\Program Files\\Torvex", ""},
        {"/LOG=\"C:\\a b.log\" /S", CommandLineKind::Setup, true, RunMode::VerySilent, "",
         "C:\\a b.log"},
        {"/VERYSILENT /LOG", CommandLineKind::Uninstaller, true, RunMode::VerySilent, "", ""},
        // Refused: the first bad argument is named; the mode and the log are
        // what the whole line asks for, so a silent switch after the error
        // still keeps every window away.
        {"/DIR=C:\\x", CommandLineKind::Uninstaller, false, RunMode::Interactive, "", "", "/DIR"},
        {"/ALLOWDOWNGRADE", CommandLineKind::Uninstaller, false, RunMode::Interactive, "", "",
         "/ALLOWDOWNGRADE"},
        {"/SECONDPHASE=C:\\x", CommandLineKind::Setup, false, RunMode::Interactive, "", "",
         "/SECONDPHASE"},
        {"/QUIET", CommandLineKind::Setup, false, RunMode::Interactive, "", "", "/QUIET"},
        {"VERYSILENT", CommandLineKind::Setup, false, RunMode::Interactive, "", "", "VERYSILENT"},
        {"/S=1", CommandLineKind::Setup, false, RunMode::VerySilent, "", "", "/S=1"},
        {"/DIR=", CommandLineKind::Setup, false, RunMode::Interactive, "", "", "/DIR="},
        {"/COMPONENTS=2024,2030", CommandLineKind::Setup, false, RunMode::Interactive, "", "",
         "/COMPONENTS"},
        {"/COMPONENTS=2024,,2025", CommandLineKind::Setup, false, RunMode::Interactive, "", "",
         "/COMPONENTS"},
        {"/BOGUS /VERYSILENT", CommandLineKind::Setup, false, RunMode::VerySilent, "", "",
         "/BOGUS"},
        {"/LOG=\"C:\\y.log\" /DIR= /VERYSILENT", CommandLineKind::Setup, false, RunMode::VerySilent,
         "", "C:\\y.log", "/DIR="},
        {"/DIR=C:\\x /VERYSILENT", CommandLineKind::Uninstaller, false, RunMode::VerySilent, "", "",
         "/DIR"},
        {"/Q /SILENT /DIR= /LOG=C:\\z.log", CommandLineKind::Setup, false, RunMode::Silent, "",
         "C:\\z.log", "/Q"},
    };
    for (const auto& c : cases) {
        CommandLine parsed;
        CString error;
        ASSERT_EQ(ParseCommandLine(c.arguments, c.kind, &parsed, &error), c.parsed) << c.arguments;
        EXPECT_EQ(error.IsEmpty(), c.parsed) << c.arguments;
        EXPECT_EQ(error.str().rfind(c.named, 0), 0u) << c.arguments << ": " << error.str();
        EXPECT_EQ(parsed.mode, c.mode) << c.arguments;
        EXPECT_EQ(parsed.folder, c.folder) << c.arguments;
        EXPECT_EQ(parsed.logPath, c.log) << c.arguments;
    }
}

TEST(ParseCommandLine, TheUninstallerRepairsOrModifiesAndPassesItOnToItsSecondProcess) {
    const struct {
        const char* arguments;
        bool parsed;
        UninstallerTask task;
        const char* passedOn;  // to the second process
        const char* named = "";
    } cases[] = {
        {"/VERYSILENT", true, UninstallerTask::Uninstall, ""},
        {"/repair /SILENT /LOG", true, UninstallerTask::Repair, " /REPAIR"},
        {"/MODIFY", true, UninstallerTask::Modify, " /MODIFY"},
        {"/COMPONENTS=2026,2024 /MODIFY /S", true, UninstallerTask::Modify,
         " /MODIFY /COMPONENTS=2026,2024"},
        {"/MODIFY /REPAIR", false, UninstallerTask::Modify, "", "/REPAIR: not with /MODIFY"},
        {"/REPAIR /COMPONENTS=2025", false, UninstallerTask::Repair, "", "/COMPONENTS: only"},
        {"/COMPONENTS=2025 /VERYSILENT", false, UninstallerTask::Uninstall, "", "/COMPONENTS"},
        {"/verify /LOG", true, UninstallerTask::Verify, " /VERIFY"},
        {"/VERIFY /MODIFY", false, UninstallerTask::Verify, "",
         "/MODIFY: not with /REPAIR or /VERIFY"},
    };
    for (const auto& c : cases) {
        CommandLine parsed;
        CString error;
        ASSERT_EQ(ParseCommandLine(c.arguments, CommandLineKind::Uninstaller, &parsed, &error),
                  c.parsed)
            << c.arguments;
        EXPECT_EQ(parsed.task, c.task) << c.arguments;
        EXPECT_EQ(error.str().rfind(c.named, 0), 0u) << c.arguments << ": " << error.str();
        if (c.parsed) {
            EXPECT_EQ(TaskArguments(parsed), c.passedOn) << c.arguments;
        }
    }
    CommandLine parsed;
    CString error;
    ASSERT_TRUE(ParseCommandLine("/VERIFY /SILENT", CommandLineKind::Uninstaller, &parsed, &error));
    EXPECT_EQ(parsed.mode, RunMode::VerySilent) << "a verification never shows a window";
    EXPECT_FALSE(ParseCommandLine("/REPAIR", CommandLineKind::Setup, &parsed, &error));
    EXPECT_EQ(error, "/REPAIR: not a switch of the setup");
}

TEST(ParseCommandLine, ComponentsAndTheProgramsOwnName) {
    CommandLine parsed;
    CString error;
    ASSERT_TRUE(ParseCommandLine("/COMPONENTS=2026,2024 /? /AllowDowngrade", CommandLineKind::Setup,
                                 &parsed, &error));
    EXPECT_EQ(parsed.years, (std::vector<int>{2026, 2024}));
    EXPECT_TRUE(parsed.help);
    EXPECT_TRUE(parsed.allowDowngrade);
    EXPECT_STREQ(ArgumentsOf("\"C:\\a b\\SetUp.exe\"  /S"), "/S");
    EXPECT_STREQ(ArgumentsOf("SetUp.exe"), "");
}

// The exit codes /? ends with: its own number each, no digit in a GBK
// character being an ASCII one.
std::set<int> ListedExitCodes(const std::string& help) {
    std::set<int> codes;
    const std::string list = help.substr(help.find("退出代码："));
    for (size_t i = 0; i < list.size();) {
        const size_t end = list.find_first_not_of("0123456789", i);
        if (end != i) codes.insert(std::stoi(list.substr(i, end - i)));
        i = end == i ? i + 1 : end;
    }
    return codes;
}

TEST(CommandLineHelp, ListsTheExitCodesEachProgramReturns) {
    using namespace exit_code;
    EXPECT_EQ(ListedExitCodes(kSetupCommandLineHelp),
              (std::set<int>{kSuccess, kUserCancelled, kFailed, kBusy, kBadCommandLine,
                             kRestartFirst, kDowngradeRefused}));
    EXPECT_EQ(ListedExitCodes(kUninstallerCommandLineHelp),
              (std::set<int>{kSuccess, kRestartRequired, kUserCancelled, kFailed, kBusy,
                             kBadCommandLine, kRestartFirst, kNotWhole}));
}

}  // namespace
