// The folder chooser's path rules over an in-memory file system. Built
// natively (under the sanitizers) and for Windows (code page 936 under
// Wine), so both lead-byte rules meet the same expectations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chooser/path_rules.h"
#include "tests/chooser/memory_folders.h"
#include "tests/support/gbk_samples.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kBarTrail = "\xB1\x7C";  // 眧

std::string Question(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}
std::string Invalid(const std::string& path) {
    return "The folder:\n\n" + path + "\n\nis invalid. Please reenter.";
}
std::string CannotCreate(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

int Check(const std::string& path) {
    MemoryFolders fs;
    fs.AddDrive('C');
    return CheckFolderPath(path.c_str(), true, fs);
}

TEST(IsValidFolderName, AcceptsOrdinaryNames) {
    for (const char* name : {"Setup", "Set up", "Setup.old", "a", "T-ZozerIded", "安装", "1"}) {
        EXPECT_EQ(IsValidFolderName(name), 1) << name;
    }
}

TEST(IsValidFolderName, RejectsEmptyAndBlankEdges) {
    EXPECT_EQ(IsValidFolderName(nullptr), 0);
    EXPECT_EQ(IsValidFolderName(""), 0);
    for (const char* name :
         {" Setup", "Setup ", "\tSetup", "Setup\t", ".Setup", "Setup.", ".", "..", " "}) {
        EXPECT_EQ(IsValidFolderName(name), 0) << '[' << name << ']';
    }
}

TEST(IsValidFolderName, RejectsEachReservedCharacterAnywhere) {
    for (const char c : std::string("\"*/:<>?\\|")) {
        EXPECT_EQ(IsValidFolderName((std::string("Se") + c + "tup").c_str()), 0) << c;
        EXPECT_EQ(IsValidFolderName((std::string(1, c) + "Setup").c_str()), 0) << c;
        EXPECT_EQ(IsValidFolderName((std::string("Setup") + c).c_str()), 0) << c;
    }
}

TEST(IsValidFolderName, HighBytesAndWholeDoubleByteCharactersPass) {
    EXPECT_EQ(IsValidFolderName("\x80"), 1);
    EXPECT_EQ(IsValidFolderName("\xFF"), 1);
    EXPECT_EQ(IsValidFolderName("Set\x81"), 1);  // a lone lead byte at the end is a byte >= 0x80
    // The trail bytes 0x5C and 0x7C belong to the characters, not to the name.
    EXPECT_EQ(IsValidFolderName(kCheng.c_str()), 1);
    EXPECT_EQ(IsValidFolderName((kJou + "x").c_str()), 1);
    EXPECT_EQ(IsValidFolderName(("a" + kBarTrail + "b").c_str()), 1);
    // A real reserved character after such a character still counts.
    EXPECT_EQ(IsValidFolderName((kCheng + "?").c_str()), 0);
    EXPECT_EQ(IsValidFolderName((kCheng + "\\").c_str()), 0);
}

TEST(CheckFolderPath, AcceptsDriveRootsAndOrdinaryPaths) {
    for (const char* path :
         {"C:\\", "c:\\", "Z:\\", "C:\\Setup", "c:\\Setup", "C:\\Set up", "C:\\Setup.old",
          "C:\\Torvex\\T-ZozerIded", "D:\\a\\b\\c\\d", "C:\\安装\\文件"}) {
        EXPECT_EQ(Check(path), kPathValid) << path;
    }
}

TEST(CheckFolderPath, RejectsEveryOtherForm) {
    for (const char* path : {"",
                             "C",
                             "C:",
                             "C:Setup",
                             "\\\\share\\Setup",
                             "Setup",
                             "1:\\Setup",
                             "::\\Setup",
                             "C;\\Setup",
                             "C:/Setup",
                             "C:\\Setup\\",
                             "C:\\\\Setup",
                             "C:\\A\\\\B",
                             "C:\\\\",
                             "C:\\ Setup",
                             "C:\\\tSetup",
                             "C:\\.Setup",
                             "C:\\Setup.",
                             "C:\\Setup ",
                             "C:\\Set?up",
                             "C:\\Set*up",
                             "C:\\Set/up",
                             "C:\\Set:up",
                             "C:\\A\\B\\C.",
                             "C:\\A\\B\\"}) {
        EXPECT_EQ(Check(path), kPathInvalid) << path;
    }
    MemoryFolders fs;
    EXPECT_EQ(CheckFolderPath(nullptr, true, fs), kPathInvalid);
    EXPECT_EQ(CheckFolderPath(nullptr, false, fs), kPathInvalid);
}

TEST(CheckFolderPath, SplitsOnlyAtRealBackslashes) {
    // With a bytewise split, 誠 would end in a "trailing backslash" and
    // C:\誠\x would name the folder C:\<lead byte>.
    EXPECT_EQ(Check("C:\\" + kCheng), kPathValid);
    EXPECT_EQ(Check("C:\\" + kJou + "\\" + kCheng + "x"), kPathValid);
    EXPECT_EQ(Check("C:\\" + kCheng + "\\"), kPathInvalid);
    EXPECT_EQ(Check("C:\\" + kCheng + "\\\\x"), kPathInvalid);
}

TEST(CheckFolderPath, AMissingDriveRootCannotBeMade) {
    MemoryFolders fs;
    fs.AddDrive('C');
    EXPECT_EQ(CheckFolderPath("C:\\", false, fs), kPathValid);
    EXPECT_EQ(CheckFolderPath("Q:\\", true, fs), kPathValid);
    EXPECT_EQ(CheckFolderPath("Q:\\", false, fs), kPathCannotCreate);
    EXPECT_EQ(CheckFolderPath("Q:\\Alpha\\Beta", false, fs), kPathCannotCreate);
    EXPECT_EQ(CheckFolderPath("Q:\\Set?up", false, fs), kPathInvalid) << "invalid first";
}

TEST(CheckFolderPath, MissingLevelsBelowExistingFoldersCanBeMade) {
    MemoryFolders fs;
    fs.AddDrive('C');
    fs.AddFolder("C:\\Alpha");
    EXPECT_EQ(CheckFolderPath("C:\\Alpha\\Beta\\Gamma", false, fs), kPathValid);
    EXPECT_EQ(CheckFolderPath("C:\\Beta\\Gamma", false, fs), kPathValid);
}

TEST(CheckFolderPath, AFileOnTheWayCannotBeMadeIntoAFolder) {
    MemoryFolders fs;
    fs.AddDrive('C');
    fs.AddFolder("C:\\Alpha");
    fs.AddFile("C:\\Alpha\\Beta");
    EXPECT_EQ(CheckFolderPath("C:\\Alpha\\Beta\\Gamma", false, fs), kPathCannotCreate);
    // A file chosen itself is taken as it is.
    EXPECT_EQ(CheckFolderPath("C:\\Alpha\\Beta", false, fs), kPathValid);
}

TEST(CheckFolderPath, DoubleByteNamesAreLevelsWhole) {
    MemoryFolders fs;
    fs.AddDrive('C');
    // Split at the trail byte 0x5C, 誠 would be a level C:\<lead byte>.
    fs.AddFile("C:\\" + kCheng.substr(0, 1));
    EXPECT_EQ(CheckFolderPath(("C:\\" + kCheng + "\\" + kJou).c_str(), false, fs), kPathValid);
    fs.AddFile("C:\\" + kCheng);
    EXPECT_EQ(CheckFolderPath(("C:\\" + kCheng + "\\" + kJou).c_str(), false, fs),
              kPathCannotCreate);
}

TEST(CheckFolderPath, LongInputIsHandledWithoutLimit) {
    std::string path = "C:\\";
    for (int i = 0; i < 400; ++i) path += "level\\";
    path += std::string(2000, 'x');
    EXPECT_EQ(Check(path), kPathValid);
    MemoryFolders fs;
    fs.AddDrive('C');
    fs.AddFolder("C:\\level");
    EXPECT_EQ(CheckFolderPath(path.c_str(), false, fs), kPathValid);
    fs.AddFile("C:\\level\\level");
    EXPECT_EQ(CheckFolderPath(path.c_str(), false, fs), kPathCannotCreate);
}

class ConfirmFolderPathTest : public ::testing::Test {
protected:
    ConfirmFolderPathTest() { m_fs.AddDrive('C'); }
    int Confirm(const std::string& path, bool yes = true) {
        ScriptedPrompts prompts(yes);
        const int result = ConfirmFolderPath(path.c_str(), m_fs, prompts);
        m_questions = prompts.Questions();
        m_warnings = prompts.Warnings();
        return result;
    }

    MemoryFolders m_fs;
    Texts m_questions;
    Texts m_warnings;
};

TEST_F(ConfirmFolderPathTest, ExistingFolderOrFileIsAcceptedWithoutAQuestion) {
    m_fs.AddFolder("C:\\Torvex");
    m_fs.AddFile("C:\\notes.txt");
    for (const char* path : {"C:\\", "C:\\Torvex", "C:\\notes.txt"}) {
        EXPECT_EQ(Confirm(path), kConfirmAccepted) << path;
        EXPECT_TRUE(m_questions.empty());
        EXPECT_TRUE(m_warnings.empty());
    }
}

TEST_F(ConfirmFolderPathTest, MissingFolderIsAcceptedAfterOneQuestion) {
    EXPECT_EQ(Confirm("C:\\Alpha\\Beta\\Gamma"), kConfirmAccepted);
    EXPECT_EQ(m_questions, Texts{Question("C:\\Alpha\\Beta\\Gamma")});
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(ConfirmFolderPathTest, DeclinedQuestionCreatesNothing) {
    EXPECT_EQ(Confirm("C:\\Alpha\\Beta", false), kConfirmDeclined);
    EXPECT_EQ(m_questions.size(), 1u);
    EXPECT_TRUE(m_warnings.empty());
}

TEST_F(ConfirmFolderPathTest, InvalidPathIsWarnedBeforeAnythingIsAsked) {
    EXPECT_EQ(Confirm("C:\\Alpha\\Set?up\\Gamma"), kPathInvalid);
    EXPECT_TRUE(m_questions.empty());
    EXPECT_EQ(m_warnings, Texts{Invalid("C:\\Alpha\\Set?up\\Gamma")});
    EXPECT_EQ(Confirm("C:\\Setup\\"), kPathInvalid);
    EXPECT_EQ(m_warnings, Texts{Invalid("C:\\Setup\\")});
}

TEST_F(ConfirmFolderPathTest, FolderThatCannotBeMadeIsWarned) {
    m_fs.AddFile("C:\\Alpha");  // a file in the way
    EXPECT_EQ(Confirm("C:\\Alpha\\Beta"), kPathCannotCreate);
    EXPECT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_warnings, Texts{CannotCreate("C:\\Alpha\\Beta")});
}

TEST_F(ConfirmFolderPathTest, MissingDriveRootIsAskedForThenWarned) {
    EXPECT_EQ(Confirm("Q:\\"), kPathCannotCreate);
    EXPECT_EQ(m_questions, Texts{Question("Q:\\")});
    EXPECT_EQ(m_warnings, Texts{CannotCreate("Q:\\")});
    EXPECT_EQ(Confirm("Q:\\Setup"), kPathCannotCreate);
    EXPECT_EQ(m_warnings, Texts{CannotCreate("Q:\\Setup")});
}

TEST_F(ConfirmFolderPathTest, NullPathIsInvalidAndShownEmpty) {
    ScriptedPrompts prompts;
    EXPECT_EQ(ConfirmFolderPath(nullptr, m_fs, prompts), kPathInvalid);
    EXPECT_EQ(prompts.Warnings(), Texts{Invalid("")});
}

TEST_F(ConfirmFolderPathTest, TextsCarryTheWholePathVerbatim) {
    // Percent signs are path text, not formatting; long paths are not cut.
    const std::string path = "C:\\100%s %d\\" + std::string(600, 'y');
    EXPECT_EQ(Confirm(path), kConfirmAccepted);
    EXPECT_EQ(m_questions, Texts{Question(path)});
}

}  // namespace
