// The setup dialog and the folder chooser, driven from outside through the
// real SetUp.exe under Wine.
#include <gtest/gtest.h>

#include "run/product_version.h"
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

using driver::IsItemEnabled;
using driver::IsItemVisible;
using driver::ItemCheck;
using driver::ItemText;

class DialogTest : public SetupTest {};

TEST_F(DialogTest, NoHostInstalledOffersNothing) {
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    for (int box : {kBox2024, kBox2025, kBox2026}) {
        EXPECT_TRUE(IsItemVisible(dialog, box)) << box;
        EXPECT_FALSE(IsItemEnabled(dialog, box)) << box;
        EXPECT_EQ(ItemCheck(dialog, box), BST_UNCHECKED) << box;
    }
    EXPECT_FALSE(IsItemVisible(dialog, kBox2023));
    EXPECT_FALSE(IsItemEnabled(dialog, kInstall));
    EXPECT_TRUE(IsItemEnabled(dialog, kBrowse));
    EXPECT_TRUE(IsItemEnabled(dialog, kCancel));
}

TEST_F(DialogTest, OnlyRelease2025InstalledOffersItAlone) {
    AddHost(2025);
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsItemEnabled(dialog, kBox2025));
    EXPECT_EQ(ItemCheck(dialog, kBox2025), BST_CHECKED);
    for (int box : {kBox2024, kBox2026}) {
        EXPECT_FALSE(IsItemEnabled(dialog, box)) << box;
        EXPECT_EQ(ItemCheck(dialog, box), BST_UNCHECKED) << box;
    }
    EXPECT_FALSE(IsItemVisible(dialog, kBox2023));
    EXPECT_TRUE(IsItemEnabled(dialog, kInstall));
}

TEST_F(DialogTest, InstallButtonFollowsTheTicks) {
    AddHost(2024);
    AddHost(2026, "SOFTWARE\\Gstarsoft\\GstarArch");
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(IsItemEnabled(dialog, kInstall));
    driver::Click(dialog, kBox2024);
    ASSERT_TRUE(driver::WaitUntil([&] { return ItemCheck(dialog, kBox2024) == BST_UNCHECKED; }));
    EXPECT_TRUE(IsItemEnabled(dialog, kInstall));  // 2026 still ticked
    driver::Click(dialog, kBox2026);
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsItemEnabled(dialog, kInstall); }));
    driver::Click(dialog, kBox2026);
    EXPECT_TRUE(driver::WaitUntil([&] { return IsItemEnabled(dialog, kInstall); }));
}

TEST_F(DialogTest, ShowsTitleAndEditionInsteadOfTemplateTexts) {
    AddHost(2025);
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(driver::Text(dialog), kDialogCaption);
    EXPECT_EQ(ItemText(dialog, kTitle), "批打印软件 V" + FormatSetupVersion(kSetupVersion).str());
    EXPECT_EQ(ItemText(dialog, kEdition), "( 浩辰CAD版 )");
    EXPECT_EQ(ItemText(dialog, kPathEdit), "C:\\Torvex");
    EXPECT_TRUE(IsItemVisible(dialog, kNote));
    for (int hidden : {kDone, kProgress, kMenuPicture, kCompletionText, kHiddenNote1, kHiddenNote2})
        EXPECT_FALSE(IsItemVisible(dialog, hidden)) << hidden;
    Screenshot(dialog, "dialog-choosing");
}

TEST_F(DialogTest, EnterOffThePushButtonsEndsTheDialogAtOnce) {
    AddHost(2025);
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    driver::PressKey(GetDlgItem(dialog, kBox2025), VK_RETURN);
    EXPECT_TRUE(WaitForExit());
    EXPECT_FALSE(driver::FolderExists("C:\\Torvex"));  // nothing installed
}

TEST_F(DialogTest, EscapeEndsTheDialog) {
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    driver::PressKey(GetDlgItem(dialog, kPathEdit), VK_ESCAPE);
    EXPECT_TRUE(WaitForExit());
}

TEST_F(DialogTest, CloseBoxEndsTheDialog) {
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    driver::Close(dialog);
    EXPECT_TRUE(WaitForExit());
}

class ChooserTest : public SetupTest {
protected:
    HWND OpenChooser() {
        driver::Click(m_dialog, kBrowse);
        m_chooser = driver::WaitForDialog(m_setup.Id(), kChooserCaption);
        EXPECT_NE(m_chooser, nullptr) << "the folder chooser did not appear";
        if (m_chooser) {
            driver::WaitUntil([&] { return GetDlgItem(m_chooser, kChooserEdit) != nullptr; });
        }
        return m_chooser;
    }
    void Type(const char* text) { driver::SetItemText(m_chooser, kChooserEdit, text); }
    bool ChooserClosed() { return driver::WaitForClose(m_chooser); }
};

TEST_F(ChooserTest, AMissingFolderIsLeftToTheInstallationAfterOneQuestion) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(OpenChooser());
    Screenshot(m_chooser, "chooser");
    const std::string target = Scratch() + "\\Alpha\\Beta\\Gamma";
    Type(target.c_str());
    driver::Click(m_chooser, kChooserOk);
    HWND question = WaitForBox();
    ASSERT_TRUE(question);
    EXPECT_EQ(driver::Text(question), kAppName);
    EXPECT_EQ(
        driver::MessageBoxText(question),
        "The folder:\n\n" + target + "\n\ndoes not exist. Do you want the folder to be created?");
    EXPECT_TRUE(IsItemVisible(question, IDYES));
    EXPECT_TRUE(IsItemVisible(question, IDNO));
    driver::Click(question, IDYES);
    ASSERT_TRUE(ChooserClosed());
    EXPECT_TRUE(driver::WaitUntil([&] { return ItemText(m_dialog, kPathEdit) == target; }));
    EXPECT_FALSE(driver::FolderExists(Scratch() + "\\Alpha"));
}

TEST_F(ChooserTest, InvalidPathIsWarnedAndTheChooserStays) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(OpenChooser());
    Type("C:\\Set?up");
    driver::Click(m_chooser, kChooserOk);
    HWND warning = WaitForBox();
    ASSERT_TRUE(warning);
    EXPECT_EQ(driver::MessageBoxText(warning),
              "The folder:\n\nC:\\Set?up\n\nis invalid. Please reenter.");
    driver::Click(warning, IDOK);
    ASSERT_TRUE(driver::WaitForClose(warning));
    EXPECT_TRUE(IsWindowVisible(m_chooser));
    EXPECT_EQ(ItemText(m_chooser, kChooserEdit), "C:\\Set?up");  // kept for correction
    driver::Click(m_chooser, kChooserCancel);
    EXPECT_TRUE(ChooserClosed());
}

TEST_F(ChooserTest, OkIsDisabledForAnEmptyEditBox) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(OpenChooser());
    Type("C:\\Somewhere");
    EXPECT_TRUE(driver::WaitUntil([&] { return IsItemEnabled(m_chooser, kChooserOk); }));
    Type("");
    EXPECT_TRUE(driver::WaitUntil([&] { return !IsItemEnabled(m_chooser, kChooserOk); }));
    Type("D:\\x");
    EXPECT_TRUE(driver::WaitUntil([&] { return IsItemEnabled(m_chooser, kChooserOk); }));
}

TEST_F(ChooserTest, CancelKeepsTheTypedFolderAndConfirmReplacesIt) {
    ASSERT_TRUE(Launch());
    driver::SetItemText(m_dialog, kPathEdit, "D:\\Typed");
    ASSERT_TRUE(OpenChooser());
    driver::Click(m_chooser, kChooserCancel);
    ASSERT_TRUE(ChooserClosed());
    EXPECT_EQ(ItemText(m_dialog, kPathEdit), "D:\\Typed");

    const std::string target = Scratch() + "\\Chosen";
    ASSERT_TRUE(driver::CreateFolders(target));
    ASSERT_TRUE(OpenChooser());
    Type(target.c_str());  // exists: accepted without a question
    driver::Click(m_chooser, kChooserOk);
    ASSERT_TRUE(ChooserClosed());
    EXPECT_TRUE(driver::WaitUntil([&] { return ItemText(m_dialog, kPathEdit) == target; }));
}

TEST_F(ChooserTest, OpensOnTheFolderInTheEditBox) {
    // A long-standing folder: Wine's shell may not yet see one made a moment ago.
    char windows[MAX_PATH] = {};
    ASSERT_TRUE(GetWindowsDirectoryA(windows, sizeof(windows)));
    ASSERT_TRUE(Launch());
    driver::SetItemText(m_dialog, kPathEdit, windows);
    ASSERT_TRUE(OpenChooser());
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return _stricmp(ItemText(m_chooser, kChooserEdit).c_str(), windows) == 0; }));
}

}  // namespace
}  // namespace e2e
