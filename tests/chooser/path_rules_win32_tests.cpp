// The path rules over Wine's real file system, with the boxes answered
// in-process: nothing made, box texts, caption, flags and owner as the
// program shows them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chooser/path_rules_win32.h"
#include "tests/support/box_recorder.h"
#include "tests/support/gbk_samples.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"

namespace {

// This executable's name without its extension: the application's name.
const char kCaption[] = "chooser_win32_tests";
constexpr UINT kQuestionType = MB_YESNO | MB_ICONQUESTION;  // 0x24
constexpr UINT kWarningType = MB_OK | MB_ICONEXCLAMATION;   // 0x30

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names (in Unicode) of the entries of a folder.
std::vector<std::wstring> EntriesOf(const std::string& folder) {
    std::vector<std::wstring> names;
    const int size = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size - 1));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((wide + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::string Question(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}

class ConfirmOnDiskTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(driver::FolderExists(m_root)); }

    int Confirm(const std::string& path, int yesNoAnswer = IDYES) {
        BoxRecorder recorder;
        recorder.handler = [&](int, const ShownBox& box) {
            return (box.type & MB_TYPEMASK) == MB_YESNO ? yesNoAnswer : IDOK;
        };
        afx::ScopedMessageBoxResponder scope(recorder);
        const int result = ConfirmFolderPath(path.c_str());
        m_boxes = recorder.boxes;
        return result;
    }

    // A drive letter that names no drive here.
    static std::string MissingDrive() {
        const DWORD drives = GetLogicalDrives();
        for (char letter = 'Y'; letter >= 'D'; --letter) {
            if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":\\";
        }
        return std::string();
    }

    ScopedTempFolder m_folder;
    const std::string m_root = m_folder.Path().str();
    std::vector<ShownBox> m_boxes;
};

TEST_F(ConfirmOnDiskTest, AMissingFolderIsLeftToTheInstallationAfterOneQuestion) {
    const std::string target = m_root + "\\Alpha\\Beta\\Gamma";
    EXPECT_EQ(Confirm(target), kConfirmAccepted);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, Question(target));
    EXPECT_EQ(m_boxes[0].caption, kCaption);
    EXPECT_EQ(m_boxes[0].type, kQuestionType);
    EXPECT_TRUE(EntriesOf(m_root).empty()) << "the installation makes it, protected";
}

TEST_F(ConfirmOnDiskTest, DeclinedQuestionCreatesNothing) {
    EXPECT_EQ(Confirm(m_root + "\\Alpha\\Beta", IDNO), kConfirmDeclined);
    EXPECT_EQ(m_boxes.size(), 1u);
    EXPECT_FALSE(Exists(m_root + "\\Alpha"));
}

TEST_F(ConfirmOnDiskTest, ExistingFolderAndExistingFileAreAcceptedSilently) {
    const std::string file = m_root + "\\setup.log";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(Confirm(m_root), kConfirmAccepted);
    EXPECT_EQ(Confirm(file), kConfirmAccepted);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ConfirmOnDiskTest, InvalidPathIsWarnedAndNothingIsMade) {
    const std::string target = m_root + "\\Alpha\\Set?up";
    EXPECT_EQ(Confirm(target), kPathInvalid);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "The folder:\n\n" + target + "\n\nis invalid. Please reenter.");
    EXPECT_EQ(m_boxes[0].caption, kCaption);
    EXPECT_EQ(m_boxes[0].type, kWarningType);
    EXPECT_FALSE(Exists(m_root + "\\Alpha"));
}

TEST_F(ConfirmOnDiskTest, FileInTheWayCannotBeCreated) {
    const std::string file = m_root + "\\Alpha";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    const std::string target = file + "\\Beta";
    EXPECT_EQ(Confirm(target), kPathCannotCreate);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].type, kQuestionType);
    EXPECT_EQ(m_boxes[1].text,
              "The folder:\n\n" + target + "\n\ncan not be created. Please double check.");
    EXPECT_EQ(m_boxes[1].type, kWarningType);
}

TEST_F(ConfirmOnDiskTest, MissingDriveCannotBeCreated) {
    const std::string drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    for (const std::string& target : {drive, drive + "Setup"}) {
        EXPECT_EQ(Confirm(target), kPathCannotCreate) << target;
        ASSERT_EQ(m_boxes.size(), 2u);
        EXPECT_EQ(m_boxes[0].text, Question(target));
        EXPECT_EQ(m_boxes[1].text,
                  "The folder:\n\n" + target + "\n\ncan not be created. Please double check.");
    }
}

TEST_F(ConfirmOnDiskTest, DoubleByteNamesWithBackslashTrailBytesAreAskedForWhole) {
    ASSERT_EQ(GetACP(), 936u) << "the rig runs Wine with code page 936";
    // A file 誠 in the way of the folder 誠\誠x.
    const std::string file = m_root + "\\" + kCheng;
    ASSERT_TRUE(driver::WriteTextFile(file, "in the way"));
    ASSERT_EQ(EntriesOf(m_root), std::vector<std::wstring>{L"\u8AA0"});
    EXPECT_EQ(Confirm(file + "\\" + kCheng + "x"), kPathCannotCreate);
    EXPECT_EQ(m_boxes.size(), 2u);
}

TEST_F(ConfirmOnDiskTest, BoxesAreOwnedByTheActiveWindow) {
    HWND window = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    // The test command always has a display.
    ASSERT_TRUE(window) << "no display for a window";
    SetForegroundWindow(window);
    SetActiveWindow(window);
    const bool active = GetActiveWindow() == window;
    EXPECT_EQ(Confirm(m_root + "\\Set?up"), kPathInvalid);
    DestroyWindow(window);
    ASSERT_TRUE(active) << "the window could not be activated";
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].owner, window);
}

}  // namespace
