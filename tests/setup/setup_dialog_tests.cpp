// The setup dialog in-process, on the real template 141, with the
// application object of SetUp.exe and host installations of the test's own.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "chooser/path_dialog.h"
#include "install/machine_at_start.h"
#include "run/product_version.h"
#include "setup/setup_dialog.h"
#include "setup/wizard_app.h"
#include "tests/support/box_recorder.h"
#include "tests/support/gbk_samples.h"
#include "tests/support/modal_script.h"
#include "tests/support/running_dummy.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "tools/driver/ui_driver.h"

namespace {

constexpr COLORREF kBackColour = RGB(170, 210, 150);
constexpr UINT kHelpCommand = 0xE146;  // ID_HELP
constexpr int kReleaseBoxes[] = {IDC_RELEASE_2023, IDC_RELEASE_2024, IDC_RELEASE_2025,
                                 IDC_RELEASE_2026};

class TestSetupDialog : public Dlg_Setup {
public:
    explicit TestSetupDialog(const MachineAtStart& machine) : Dlg_Setup(machine) {}
    std::function<void(TestSetupDialog&)> onInit;  // runs at the end of OnInitDialog
    void Close() { PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0); }
    // A click as the platform reports it: through the message map.
    void Click(int id) { SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED)); }
    using Dlg_Setup::ShowCompletionLayout;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = Dlg_Setup::OnInitDialog();
        if (onInit) onInit(*this);
        return result;
    }
};

struct BoxState {
    bool visible;
    bool enabled;
    int check;
};

BoxState StateOf(HWND dialog, int id) {
    return {driver::IsItemVisible(dialog, id), driver::IsItemEnabled(dialog, id),
            driver::ItemCheck(dialog, id)};
}

class SetupDialogTest : public ::testing::Test {
protected:
    void AddHost(HostRelease release, const char* folder) {
        machine.hosts.hostFolders[HostReleaseIndex(release)].Add(folder);
        machine.hosts.hostKeys[HostReleaseIndex(release)].Add("Software\\Vendor\\Host\\");
    }

    MachineAtStart machine;

    // Programs and Features of no other run decides the folder shown.
    ScratchRegistryRoots sandbox;
    // Runs the install command on a folder text, a release ticked, with no
    // package beside this test: the check finds none, says so and ends the
    // dialog. The boxes' texts.
    std::vector<std::string> InstallInto(const std::string& typed, int clicks = 1) {
        AddHost(HostRelease::R2025, "C:\\Host2025");
        BoxRecorder recorder;
        afx::ScopedMessageBoxResponder responder(recorder);
        TestSetupDialog dialog(machine);
        dialog.onInit = [&](TestSetupDialog& d) {
            SetDlgItemTextA(d.m_hWnd, IDC_INSTALL_PATH, typed.c_str());
            for (int i = 0; i < clicks; ++i) d.Click(IDC_INSTALL);
            d.Close();  // should the installation not have ended the dialog
        };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        installPath = dialog.m_strInstallPath.str();
        return recorder.Texts();
    }

    ScopedTempFolder m_folder;
    std::string installPath;
};

TEST_F(SetupDialogTest, OffersTheReleasesWithAnInstallationButNever2023) {
    AddHost(HostRelease::R2023, "C:\\Host2023");
    AddHost(HostRelease::R2025, "C:\\Host2025");
    TestSetupDialog dialog(machine);
    std::vector<BoxState> boxes;
    bool installEnabled = false;
    std::vector<std::string> texts;
    dialog.onInit = [&](TestSetupDialog& d) {
        for (int id : kReleaseBoxes) boxes.push_back(StateOf(d.m_hWnd, id));
        installEnabled = driver::IsItemEnabled(d.m_hWnd, IDC_INSTALL);
        for (int id : {IDC_TITLE, IDC_EDITION, IDC_INSTALL_PATH}) {
            texts.push_back(driver::ItemText(d.m_hWnd, id));
        }
        d.Close();
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_FALSE(boxes[0].visible);  // 2023: hidden, unticked although installed
    EXPECT_EQ(boxes[0].check, BST_UNCHECKED);
    for (int i : {1, 3}) {
        EXPECT_TRUE(boxes[i].visible) << i;
        EXPECT_FALSE(boxes[i].enabled) << i;
        EXPECT_EQ(boxes[i].check, BST_UNCHECKED) << i;
    }
    EXPECT_TRUE(boxes[2].enabled);
    EXPECT_EQ(boxes[2].check, BST_CHECKED);
    EXPECT_TRUE(installEnabled);
    const std::string title = "批打印软件 V" + FormatSetupVersion(kSetupVersion).str();
    EXPECT_EQ(texts, (std::vector<std::string>{title, "( 浩辰CAD版 )", "C:\\Torvex"}));
}

TEST_F(SetupDialogTest, InstallButtonFollowsTheTicks) {
    AddHost(HostRelease::R2024, "C:\\Host2024");
    AddHost(HostRelease::R2026, "C:\\Host2026");
    TestSetupDialog dialog(machine);
    std::vector<bool> enabled;
    dialog.onInit = [&](TestSetupDialog& d) {
        for (int box : {IDC_RELEASE_2024, IDC_RELEASE_2026, IDC_RELEASE_2026}) {
            SendDlgItemMessageA(d.m_hWnd, box, BM_CLICK, 0, 0);
            enabled.push_back(driver::IsItemEnabled(d.m_hWnd, IDC_INSTALL));
        }
        d.Close();
    };
    dialog.DoModal();
    EXPECT_EQ(enabled, (std::vector<bool>{true, false, true}));  // 2026 unticked, ticked again
}

TEST_F(SetupDialogTest, AnUpgradeStartsInTheFolderChosenLastTime) {
    const char* const kEntry =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvex T-ZozerIded";
    for (const auto& [installed, shown] :
         {std::pair<std::string, std::string>{"D:\\Tools\\T-ZozerIded", "D:\\Tools"},
          {"D:\\T-ZozerIded", "D:\\"},
          {"relative\\T-ZozerIded", "C:\\Torvex"}}) {
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kEntry, "InstallLocation", REG_SZ,
                             installed.c_str(), static_cast<DWORD>(installed.size() + 1)));
        machine.earlier = EarlierRecords::Read();
        TestSetupDialog dialog(machine);
        std::string text;
        dialog.onInit = [&](TestSetupDialog& d) {
            text = driver::ItemText(d.m_hWnd, IDC_INSTALL_PATH);
            d.Close();
        };
        dialog.DoModal();
        EXPECT_EQ(text, shown) << installed;
    }
}

TEST_F(SetupDialogTest, OneRealTrailingBackslashGoesBeforeTheSubFolder) {
    const std::string folder = m_folder.Path().str();
    const std::string missing =
        "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";
    EXPECT_EQ(InstallInto(folder + "\\"), std::vector<std::string>{missing});
    EXPECT_EQ(installPath, folder + "\\T-ZozerIded");
    // The package is checked before anything is made.
    EXPECT_FALSE(driver::FolderExists(installPath));
    InstallInto(folder + "\\" + kCheng);  // its trail byte 0x5C stays
    EXPECT_EQ(installPath, folder + "\\" + kCheng + "\\T-ZozerIded");
}

TEST_F(SetupDialogTest, ARelativeFolderIsRefusedInTheProgramsOwnBox) {
    BoxRecorder recorder;
    afx::ScopedMessageBoxResponder responder(recorder);
    TestSetupDialog dialog(machine);
    dialog.onInit = [](TestSetupDialog& d) {
        SetDlgItemTextA(d.m_hWnd, IDC_INSTALL_PATH, "Torvex");
        d.Click(IDC_INSTALL);
        d.Close();
    };
    dialog.DoModal();
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].caption, "T-软件安装");
    EXPECT_EQ(recorder.boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(recorder.boxes[0].text.rfind("安装文件夹 Torvex 无效。", 0), 0u);
}

TEST_F(SetupDialogTest, RunningHostIsWarnedOfOnceThenTheInstallationGoesOn) {
    const RunningDummy host(driver::WindowsPathOf(DUMMY_HOST_PATH), m_folder.Path().str(),
                            "gcad.exe");
    ASSERT_TRUE(host.IsReady()) << host.Failure();
    const std::vector<std::string> texts = InstallInto(m_folder.Path().str(), 2);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "请关闭CAD后再进行安装 !");
    EXPECT_EQ(installPath, m_folder.Path().str() + "\\T-ZozerIded");  // the second click went on
}

TEST_F(SetupDialogTest, BrowseButtonOpensTheChooserOnTheTypedFolder) {
    std::string shown;
    TestSetupDialog dialog(machine);
    dialog.onInit = [&](TestSetupDialog& d) {
        SetDlgItemTextA(d.m_hWnd, IDC_INSTALL_PATH, "C:\\");
        const ModalScript script([&] {
            HWND chooser = driver::WaitForDialog(GetCurrentProcessId(), "请选择安装目录：");
            if (!chooser) return;
            driver::WaitUntil([&] { return !driver::ItemText(chooser, IDC_FOLDER_EDIT).empty(); });
            shown = driver::ItemText(chooser, IDC_FOLDER_EDIT);
            driver::Click(chooser, IDCANCEL);
        });
        d.Click(IDC_BROWSE);
        d.Close();
    };
    dialog.DoModal();
    EXPECT_EQ(shown, "C:\\");
}

TEST_F(SetupDialogTest, CompletionLayoutShowsTheResultAndEndsAsHighAsCancelDid) {
    TestSetupDialog dialog(machine);
    RECT before{}, cancel{}, after{}, done{};
    std::vector<bool> visible;
    dialog.onInit = [&](TestSetupDialog& d) {
        GetWindowRect(d.m_hWnd, &before);
        GetWindowRect(GetDlgItem(d.m_hWnd, IDCANCEL), &cancel);
        d.ShowCompletionLayout();
        GetWindowRect(d.m_hWnd, &after);
        GetWindowRect(GetDlgItem(d.m_hWnd, IDOK), &done);
        for (int id : {IDC_DONE_TEXT, IDC_MENU_PICTURE, IDOK, IDC_INSTALL, IDCANCEL, IDC_PROGRESS,
                       IDC_RELEASE_HEADING, IDC_NOTE, IDC_RELEASE_2025}) {
            visible.push_back(driver::IsItemVisible(d.m_hWnd, id));
        }
        d.Close();
    };
    dialog.DoModal();
    EXPECT_EQ(visible,
              (std::vector<bool>{true, true, true, false, false, false, false, false, false}));
    EXPECT_EQ(after.bottom - done.bottom, before.bottom - cancel.bottom);
    EXPECT_LT(after.bottom, before.bottom);
    EXPECT_EQ(after.top, before.top);
}

struct ColourAnswer {
    COLORREF brush;
    COLORREF text;
    int bkMode;
    HGDIOBJ font;
};

ColourAnswer AskColour(HWND dialog, UINT message, HWND control, HDC dc) {
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        dialog, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    LOGBRUSH logBrush = {};
    GetObjectA(brush, sizeof(logBrush), &logBrush);
    return {logBrush.lbColor, GetTextColor(dc), GetBkMode(dc), GetCurrentObject(dc, OBJ_FONT)};
}

LOGFONTA FontOf(HGDIOBJ font) {
    LOGFONTA logFont = {};
    GetObjectA(font, sizeof(logFont), &logFont);
    return logFont;
}

TEST_F(SetupDialogTest, ColoursAndFontsOfTheControls) {
    TestSetupDialog dialog(machine);
    std::vector<ColourAnswer> answers;
    HGDIOBJ stockFont = nullptr;
    HGDIOBJ titleFontAgain = nullptr;
    dialog.onInit = [&](TestSetupDialog& d) {
        HDC dc = CreateCompatibleDC(nullptr);
        stockFont = GetCurrentObject(dc, OBJ_FONT);
        for (int id : {IDC_TITLE, IDC_EDITION, IDC_NOTE, IDC_RELEASE_HEADING}) {
            answers.push_back(AskColour(d.m_hWnd, WM_CTLCOLORSTATIC, GetDlgItem(d.m_hWnd, id), dc));
            SelectObject(dc, stockFont);
        }
        answers.push_back(
            AskColour(d.m_hWnd, WM_CTLCOLOREDIT, GetDlgItem(d.m_hWnd, IDC_INSTALL_PATH), dc));
        answers.push_back(AskColour(d.m_hWnd, WM_CTLCOLORDLG, d.m_hWnd, dc));
        titleFontAgain =
            AskColour(d.m_hWnd, WM_CTLCOLORSTATIC, GetDlgItem(d.m_hWnd, IDC_TITLE), dc).font;
        SelectObject(dc, stockFont);
        DeleteDC(dc);
        d.Close();
    };
    dialog.DoModal();
    ASSERT_EQ(answers.size(), 6u);
    for (const ColourAnswer& a : answers) EXPECT_EQ(a.brush, kBackColour);

    const struct {
        LONG height;
        LONG weight;
        COLORREF text;
    } fonts[] = {{14, 600, RGB(10, 70, 40)}, {13, 400, RGB(10, 70, 40)}, {13, 400, RGB(255, 0, 0)}};
    for (int i = 0; i < 3; ++i) {
        const LOGFONTA font = FontOf(answers[i].font);
        EXPECT_EQ(font.lfHeight, fonts[i].height) << i;
        EXPECT_EQ(font.lfWeight, fonts[i].weight) << i;
        EXPECT_STREQ(font.lfFaceName, "宋体") << i;
        EXPECT_EQ(answers[i].text, fonts[i].text) << i;
        EXPECT_EQ(answers[i].bkMode, TRANSPARENT) << i;
    }
    EXPECT_EQ(answers[3].font, stockFont);  // other controls keep their font
    EXPECT_EQ(answers[3].text, RGB(0, 0, 0));
    EXPECT_EQ(answers[3].bkMode, TRANSPARENT);
    EXPECT_EQ(answers[4].bkMode, OPAQUE);  // the edit box keeps its opaque cells
    // One font per kind for the dialog's life, not one per request. (Its
    // deletion with the dialog is not observable: GDI defers it while a
    // cached DC of a control still holds the font.)
    EXPECT_EQ(titleFontAgain, answers[0].font);
}

TEST_F(SetupDialogTest, MovedToADisplayAtTwiceTheScaleItTakesTheLargePictureAndFonts) {
    constexpr WORD kDoubleDpi = 192;
    TestSetupDialog dialog(machine);
    RECT menu{};
    LONG titleHeight = 0;
    dialog.onInit = [&](TestSetupDialog& d) {
        RECT window{};
        GetWindowRect(d.m_hWnd, &window);  // the place the system suggests: where it is
        d.SendMessage(WM_DPICHANGED, MAKEWPARAM(kDoubleDpi, kDoubleDpi),
                      reinterpret_cast<LPARAM>(&window));
        GetWindowRect(GetDlgItem(d.m_hWnd, IDC_MENU_PICTURE), &menu);
        HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ stockFont = GetCurrentObject(dc, OBJ_FONT);
        titleHeight =
            FontOf(AskColour(d.m_hWnd, WM_CTLCOLORSTATIC, GetDlgItem(d.m_hWnd, IDC_TITLE), dc).font)
                .lfHeight;
        SelectObject(dc, stockFont);
        DeleteDC(dc);
        d.Close();
    };
    dialog.DoModal();
    EXPECT_EQ(menu.right - menu.left, 634);  // the picture control takes its bitmap's size
    EXPECT_EQ(menu.bottom - menu.top, 240);
    EXPECT_EQ(titleHeight, 28);
}

TEST_F(SetupDialogTest, HelpReachesOnlyTheStandardHandler) {
    BoxRecorder recorder;
    afx::ScopedMessageBoxResponder responder(recorder);
    TestSetupDialog dialog(machine);
    dialog.onInit = [&](TestSetupDialog& d) {
        d.SendMessage(WM_COMMAND, kHelpCommand);
        d.Close();
    };
    dialog.DoModal();
    EXPECT_EQ(recorder.Texts(), std::vector<std::string>{"Failed to launch help."});
}

}  // namespace
