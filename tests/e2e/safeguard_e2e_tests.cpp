// The real SetUp.exe refusing what would turn the installation against the
// machine or against the user: a link at the installation folder, a folder
// others may change, a package short of a module, a key typed ahead into a
// box, a dialog closed while a box waits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/folder_access_win32.h"
#include "tests/e2e/e2e_fixture.h"
#include "tests/support/unix_link.h"

namespace e2e {
namespace {

constexpr const char* kInstallRoot = "C:\\Torvex";
constexpr const char* kInstallFolder = "C:\\Torvex\\T-ZozerIded";
// How long a box must stay up to count as not answered.
constexpr DWORD kStillUpMs = 1500;
// The gap between the two presses of a quick double press of a key.
constexpr DWORD kDoublePressGapMs = 150;

class SafeguardTest : public SetupTest {
protected:
    void Install() { driver::Click(m_dialog, kInstall); }
    bool StillUp(HWND box) {
        Sleep(kStillUpMs);
        return IsWindow(box) && IsWindowVisible(box);
    }
    void FocusInstall() {
        SendMessageA(m_dialog, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(m_dialog, kInstall)), TRUE);
    }
    // Presses Enter `times` times at once, through the keyboard's input queue.
    static bool TypeEnter(int times) {
        std::vector<INPUT> keys(2 * static_cast<size_t>(times));
        for (size_t i = 0; i < keys.size(); ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = VK_RETURN;
            keys[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
        }
        const UINT count = static_cast<UINT>(keys.size());
        return SendInput(count, keys.data(), sizeof(INPUT)) == count;
    }
};

TEST_F(SafeguardTest, LinkedInstallationFolderIsRefusedAndNothingIsWrittenThroughIt) {
    const std::string host = AddHost(2025);
    const std::string elsewhere = "C:\\TorvexLinkTarget";
    driver::RemoveTree(elsewhere);
    ASSERT_TRUE(driver::CreateFolders(elsewhere));
    ASSERT_TRUE(MakeUnixLink("C:\\", "TorvexLinkTarget", "Torvex"));
    ASSERT_TRUE(GetFileAttributesA(kInstallRoot) & FILE_ATTRIBUTE_REPARSE_POINT);

    ASSERT_TRUE(Launch());
    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_NE(driver::MessageBoxText(box).find(kInstallRoot), std::string::npos);
    driver::Click(box, IDOK);
    ASSERT_TRUE(driver::WaitForClose(box));
    EXPECT_TRUE(driver::IsItemVisible(m_dialog, kInstall)) << "the user may choose another folder";
    EXPECT_FALSE(driver::FolderExists(elsewhere + "\\T-ZozerIded"));
    EXPECT_FALSE(
        driver::KeyExists(HKEY_CURRENT_USER, std::string(kProduct) + "\\R25\\zh-CN\\Applications"));
    EXPECT_TRUE(FilesIn(host).empty());

    // The link goes as a link: removing it through Windows would empty its target.
    EXPECT_TRUE(RemoveUnixLink("C:\\", "Torvex"));
    driver::RemoveTree(elsewhere);
}

TEST_F(SafeguardTest, AFolderOthersMayChangeIsNamedBeforeInstallingAndTheUserMayGoOn) {
    AddHost(2025);
    ASSERT_TRUE(driver::CreateFolders(kInstallRoot));
    ASSERT_TRUE(StartUnixChmod(kInstallRoot, "0777"));
    ASSERT_TRUE(driver::WaitUntil([] { return !FindUnsafeFolders(kInstallRoot).empty(); }));
    ASSERT_TRUE(Launch());
    for (const int answer : {IDNO, IDYES}) {
        Install();
        HWND box = WaitForBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(driver::Text(box), kBoxCaption);
        EXPECT_NE(driver::MessageBoxText(box).find("C:\\Torvex（可被重命名或删除"),
                  std::string::npos)
            << driver::MessageBoxText(box);
        EXPECT_FALSE(driver::FolderExists(kInstallFolder)) << "before the answer";
        driver::Click(box, answer);
        ASSERT_TRUE(driver::WaitForClose(box));
    }
    ASSERT_TRUE(driver::WaitUntil([&] { return driver::IsItemVisible(m_dialog, kDone); }));
    EXPECT_TRUE(driver::FileExists(std::string(kInstallFolder) + "\\Uninstall.exe"));
}

TEST_F(SafeguardTest, PackageWithoutTheReleasesModuleIsToldBeforeAnythingIsMade) {
    AddHost(2025);
    ASSERT_TRUE(Launch({}, {2023}));  // release 2025 loads GCAD2024P.dll
    Install();
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::Text(box), kBoxCaption);
    EXPECT_NE(driver::MessageBoxText(box).find("\nGCAD2024P.dll\n"), std::string::npos)
        << driver::MessageBoxText(box);
    driver::Click(box, IDOK);
    ASSERT_TRUE(driver::WaitForClose(box));
    EXPECT_FALSE(driver::FolderExists(kInstallRoot));
}

TEST_F(SafeguardTest, KeysTypedAheadNeverAnswerACopyFailureBox) {
    AddHost(2025);
    FileLock lock(std::string(kInstallFolder) + "\\itextsharp.dll");
    ASSERT_TRUE(lock.IsHeld());
    ASSERT_TRUE(Launch());
    // Enter twice on the install button, the second before the first is done.
    FocusInstall();
    ASSERT_TRUE(TypeEnter(2));
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(StillUp(box)) << "the second Enter answered the box";
    driver::Click(box, IDABORT);
    EXPECT_TRUE(WaitForExit());
}

TEST_F(SafeguardTest, ADoublePressedEnterLeavesTheCopyFailureBoxUp) {
    AddHost(2025);
    FileLock lock(std::string(kInstallFolder) + "\\itextsharp.dll");
    ASSERT_TRUE(lock.IsHeld());
    ASSERT_TRUE(Launch());
    // The second Enter comes once the box is up and the keys queued before
    // it were dropped: only the box's own guard keeps it from answering.
    FocusInstall();
    ASSERT_TRUE(TypeEnter(1));
    Sleep(kDoublePressGapMs);
    ASSERT_TRUE(TypeEnter(1));
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(StillUp(box)) << "the second Enter answered the box";
    driver::Click(box, IDABORT);
    EXPECT_TRUE(WaitForExit());
}

TEST_F(SafeguardTest, ClosingTheDialogWhileABoxWaitsIsAbort) {
    const std::string host = AddHost(2025);
    FileLock lock(std::string(kInstallFolder) + "\\itextsharp.dll");
    ASSERT_TRUE(lock.IsHeld());
    ASSERT_TRUE(Launch());
    Install();
    // Closed at once, while the box takes no input yet.
    HWND box = driver::WaitForMessageBox(m_setup.Id(), KnownWindows());
    ASSERT_TRUE(box);
    // A second click on install while the box is up starts nothing.
    driver::Click(m_dialog, kInstall);
    PostMessageA(m_dialog, WM_CLOSE, 0, 0);
    // Closing the dialog answers the box by itself.
    EXPECT_TRUE(driver::WaitForClose(box, kStillUpMs)) << "the box stayed up";
    EXPECT_TRUE(WaitForExit()) << "the run did not end";
    EXPECT_FALSE(
        driver::KeyExists(HKEY_CURRENT_USER, std::string(kProduct) + "\\R25\\zh-CN\\Applications"));
    EXPECT_TRUE(FilesIn(host).empty());
    lock.Release();
    EXPECT_EQ(FilesIn(kInstallFolder), std::vector<std::string>{"itextsharp.dll"});
}

}  // namespace
}  // namespace e2e
