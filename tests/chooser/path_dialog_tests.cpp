// The folder chooser in-process, on Wine's real shell browse dialog, driven
// from a second thread; the path rules' boxes are answered in-process.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "chooser/path_dialog.h"
#include "tests/support/box_recorder.h"
#include "tests/support/modal_script.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr const char* kCaption = "Chooser test";
constexpr int kFolderTreeId = 14145;
constexpr int kStatusTextId = 14147;
constexpr size_t kMaxPathBytes = MAX_PATH - 1;

struct ChooserRun {
    int result;
    std::string path;
};

// Runs a chooser; act() works its window (and must end it) from a second thread.
ChooserRun RunChooser(const char* initialFolder, const std::function<void(HWND, HWND)>& act) {
    CPathDialog chooser(kCaption, "Prompt", initialFolder, nullptr);
    ModalScript script([&] {
        HWND window = driver::WaitForDialog(GetCurrentProcessId(), kCaption);
        if (!window) return;
        HWND edit = nullptr;
        driver::WaitUntil([&] { return (edit = GetDlgItem(window, IDC_FOLDER_EDIT)) != nullptr; });
        act(window, edit);
        if (!driver::WaitForClose(window)) driver::Click(window, IDCANCEL);
    });
    const int result = chooser.RunModal();
    return {result, chooser.GetFolderPath().GetString()};
}

void Type(HWND window, const std::string& text) {
    driver::SetItemText(window, IDC_FOLDER_EDIT, text.c_str());
}

bool OkEnabled(HWND window) {
    return driver::IsItemEnabled(window, IDOK);
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Folders that nothing changes while the tests run: the shell's tree does not
// always find a folder whose parent was modified a moment ago.
std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

TEST(PathDialog, AddsTheEditBoxAboveTheTreeAndOpensOnTheInitialFolder) {
    const std::string initial = SystemFolder();
    RECT edit = {};
    RECT tree = {};
    LONG style = 0;
    LONG exStyle = 0;
    bool statusVisible = true;
    bool sameFont = false;
    std::string shown;
    bool okEnabled = false;
    const ChooserRun run = RunChooser(initial.c_str(), [&](HWND window, HWND box) {
        driver::WaitUntil([&] { return !driver::Text(box).empty(); });
        shown = driver::Text(box);
        okEnabled = OkEnabled(window);
        GetWindowRect(box, &edit);
        GetWindowRect(GetDlgItem(window, kFolderTreeId), &tree);
        style = GetWindowLongA(box, GWL_STYLE);
        exStyle = GetWindowLongA(box, GWL_EXSTYLE);
        statusVisible = driver::IsItemVisible(window, kStatusTextId);
        sameFont = SendMessageA(box, WM_GETFONT, 0, 0) == SendMessageA(window, WM_GETFONT, 0, 0);
        EXPECT_EQ(driver::Text(window), kCaption);
        driver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(run.result, -1);
    EXPECT_EQ(edit.left, tree.left);
    EXPECT_EQ(edit.right, tree.right);
    EXPECT_EQ(edit.bottom, tree.top - 4);
    EXPECT_EQ(edit.bottom - edit.top, 23);
    EXPECT_EQ(style & 0x50010080, 0x50010080);
    EXPECT_TRUE(exStyle & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(statusVisible);
    EXPECT_TRUE(sameFont);
    EXPECT_EQ(_stricmp(shown.c_str(), initial.c_str()), 0) << shown;
    EXPECT_TRUE(okEnabled);
}

TEST(PathDialog, WithoutAnInitialFolderOpensOnTheCurrentDirectory) {
    const std::string current = WindowsFolder();
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(current.c_str());
    std::string shown;
    RunChooser(nullptr, [&](HWND window, HWND box) {
        driver::WaitUntil([&] { return !driver::Text(box).empty(); });
        shown = driver::Text(box);
        driver::Click(window, IDCANCEL);
    });
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(_stricmp(shown.c_str(), current.c_str()), 0) << shown;
}

TEST(PathDialog, InvalidFolderIsRefusedAndTheChooserStaysWithTheFocusInTheEditBox) {
    BoxRecorder answerer(IDOK);
    afx::ScopedMessageBoxResponder responder(answerer);
    const DWORD uiThread = GetCurrentThreadId();
    bool stayed = false;
    bool focusInEdit = false;
    const ChooserRun run = RunChooser("C:\\", [&](HWND window, HWND box) {
        Type(window, "C:\\Set?up");
        driver::Click(window, IDOK);
        driver::WaitUntil([&] { return answerer.Count() == 1u; });
        focusInEdit = driver::WaitUntil([&] { return FocusOf(uiThread) == box; });
        stayed = IsWindowVisible(window) != FALSE;
        driver::Click(window, IDCANCEL);
    });
    EXPECT_EQ(run.result, -1);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(focusInEdit);
    EXPECT_EQ(answerer.Texts(),
              std::vector<std::string>{"The folder:\n\nC:\\Set?up\n\nis invalid. Please reenter."});
}

TEST(PathDialog, LongTextIsCutToWholeCharactersWithinTheBuffer) {
    BoxRecorder answerer(IDNO);  // declined: the chooser stays, nothing is created
    afx::ScopedMessageBoxResponder responder(answerer);
    const std::string ascii = "C:\\" + std::string(300, 'a');
    // A double-byte character whose trail byte would be byte 260.
    const std::string straddling = "C:\\" + std::string(kMaxPathBytes - 4, 'b') + "测";
    RunChooser("C:\\", [&](HWND window, HWND) {
        for (const std::string& text : {ascii, straddling}) {
            const size_t before = answerer.Count();
            Type(window, text);
            driver::Click(window, IDOK);
            driver::WaitUntil([&] { return answerer.Count() == before + 1; });
        }
        driver::Click(window, IDCANCEL);
    });
    const std::vector<std::string> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 2u);
    const std::string question = "\n\ndoes not exist. Do you want the folder to be created?";
    EXPECT_EQ(texts[0], "The folder:\n\n" + ascii.substr(0, kMaxPathBytes) + question);
    EXPECT_EQ(texts[1], "The folder:\n\n" + straddling.substr(0, kMaxPathBytes - 1) + question);
}

}  // namespace
