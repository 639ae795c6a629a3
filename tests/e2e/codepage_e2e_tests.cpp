// SetUp.exe on a system whose ANSI code page is not 936: an English (1252)
// or a Japanese (932) Windows. Built once per code page and run in it (see
// CMakeLists.txt); SetUp.exe keeps the code page of this process, which
// starts it, and the refusal of a look-alike that GBK holds shows that it
// does. Every text is read from outside as Unicode.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "run/product_version.h"
#include "tests/e2e/e2e_fixture.h"

namespace e2e {
namespace {

constexpr int kBoxTextId = 0xFFFF;  // a message box's text

struct CodePageSample {
    UINT codePage;
    const wchar_t* folder;     // a folder name the code page holds, beyond ASCII
    const wchar_t* lookAlike;  // held by GBK, not by the code page, which maps it
                               // to an ASCII letter by best fit
};

constexpr CodePageSample kSamples[] = {
    {1252, L"C:\\Caf\u00E9", L"\u0101"},                // "Café"; "ā" would be "a"
    {932, L"C:\\\u30D5\u30A9\u30EB\u30C0", L"\u00E9"},  // "フォルダ"; "é" would be "e"
};

const CodePageSample& Sample() {
    for (const CodePageSample& sample : kSamples) {
        if (sample.codePage == SYSTEM_CODE_PAGE) return sample;
    }
    return kSamples[0];
}

std::string InSystemCodePage(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n) - 1);
    return out;
}

class CodePageTest : public SetupTest {
protected:
    void SetUp() override {
        // Wine takes the code page from the Unix locale the rig starts us in.
        ASSERT_EQ(GetACP(), static_cast<UINT>(SYSTEM_CODE_PAGE));
    }
};

TEST_F(CodePageTest, EveryTextOfTheDialogIsTheIntendedChinese) {
    AddHost(2025);
    HWND dialog = Launch();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(driver::WideText(dialog), L"T-批打印软件安装");
    // The build's version, digits and dots.
    const std::string version = FormatSetupVersion(kSetupVersion).str();
    const std::wstring title = L"批打印软件 V" + std::wstring(version.begin(), version.end());
    // Every control with a text (pictures name their bitmap instead).
    const std::pair<int, const wchar_t*> expected[] = {
        {kBox2023, L"For 浩辰CAD2023"},
        {kBox2024, L"For 浩辰CAD2024"},
        {kBox2025, L"For 浩辰CAD2025"},
        {kBox2026, L"For 浩辰CAD2026"},
        {kDone, L"安装完成"},
        {kCancel, L"取  消"},
        {kTitle, title.c_str()},
        {kReleaseHeading, L"请选择安装组件："},
        {kPathEdit, L"C:\\Torvex"},
        {kBrowse, L"浏览..."},
        {kProgress, L"Progress1"},
        {kPathHeading, L"请选择安装路径："},
        {kInstall, L"安  装"},
        {kCompletionText, L"安装完成！重启CAD，CAD菜单尾会有以下子菜单："},
        {kEdition, L"( 浩辰CAD版 )"},
        {kNote, L"注：批打印目前只支持 2024.12.15 以后发布的浩辰CAD版本"},
        {kHiddenNote1, L"待浩辰官网上的 2023 / 2024 版本更新后，T-批打印会增加"},
        {kHiddenNote2, L"对浩辰 2023 / 2024 版本的支持"},
    };
    for (const auto& [id, text] : expected)
        EXPECT_EQ(driver::WideText(GetDlgItem(dialog, id)), text) << id;
    Screenshot(dialog, "dialog-choosing-cp" + std::to_string(SYSTEM_CODE_PAGE));
}

TEST_F(CodePageTest, ABoxShowsItsChineseSentenceWithThePathInIt) {
    // The uninstaller (its second process) for a folder without a record
    // says so, naming the folder.
    const std::string uninstaller = Scratch() + "\\Uninstall.exe";
    ASSERT_TRUE(
        CopyFileA(driver::WindowsPathOf(SETUP_EXE_PATH).c_str(), uninstaller.c_str(), FALSE));
    const std::wstring folder = Sample().folder;
    ASSERT_TRUE(
        m_setup.Start(uninstaller, {}, "/SECONDPHASE=\"" + InSystemCodePage(folder) + "\""));
    HWND box = WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(driver::WideText(box), L"T-软件安装");
    EXPECT_EQ(
        driver::WideText(GetDlgItem(box, kBoxTextId)),
        L"在 " + folder + L" 中找不到完整的安装记录，无法卸载。\n\n可能T-批打印软件已经卸载。");
    Screenshot(box, "box-cp" + std::to_string(SYSTEM_CODE_PAGE));
    driver::Click(box, IDOK);
    EXPECT_TRUE(WaitForExit());
}

TEST_F(CodePageTest, AFolderNameTheCodePageCannotHoldIsRefusedAsInvalid) {
    AddHost(2025);
    ASSERT_TRUE(Launch());
    const std::wstring typed = std::wstring(L"C:\\Torvex\\") + Sample().lookAlike;
    driver::SetItemText(m_dialog, kPathEdit, typed.c_str());
    driver::Click(m_dialog, kInstall);
    HWND warning = WaitForBox();
    ASSERT_TRUE(warning);
    EXPECT_EQ(driver::WideText(warning), L"T-软件安装");
    EXPECT_EQ(driver::WideText(GetDlgItem(warning, kBoxTextId))
                  .rfind(L"安装文件夹 C:\\Torvex\\? 无效。", 0),
              0u);
    driver::Click(warning, IDOK);
    ASSERT_TRUE(driver::WaitForClose(warning));
    EXPECT_FALSE(driver::FolderExists("C:\\Torvex"));  // nothing made, in no other folder
}

}  // namespace
}  // namespace e2e
