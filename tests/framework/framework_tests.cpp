// The framework layer against Wine's real window manager and GDI: dialogs
// with data exchange, message maps, subclassing, colour requests, the
// application object, GDI ownership and the error report.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/afx_app.h"
#include "framework/afx_app_name.h"
#include "framework/afx_controls.h"
#include "framework/afx_dialog.h"
#include "framework/afx_error.h"
#include "framework/afx_gdi.h"
#include "framework/afx_msgbox.h"
#include "tests/framework/framework_test_dialog.h"
#include "tests/support/box_recorder.h"

namespace {

constexpr UINT kHelpCommand = 0xE146;  // ID_HELP

class TestApp : public CWinApp {
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(kHelpCommand, &CWinApp::OnHelp)
END_MESSAGE_MAP()

TestApp testApp;

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_FRAMEWORK_TEST) {}

    int m_check = BST_CHECKED;
    CString m_text = "initial";
    CButton m_box;
    CProgressCtrl m_progress;

    std::function<void(TestDialog&)> onInit;  // runs at the end of OnInitDialog
    int actClicks = 0;
    int editChanges = 0;
    int okCalls = 0;
    int cancelCalls = 0;

    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        PostMessageA(m_hWnd, message, wParam, lParam);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_TEST_BOX, m_box);
        DDX_Check(pDX, IDC_TEST_BOX, m_check);
        DDX_Text(pDX, IDC_TEST_EDIT, m_text, afx::TextOrigin::System);
        DDX_Control(pDX, IDC_TEST_PROGRESS, m_progress);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (onInit) onInit(*this);
        return TRUE;
    }
    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }
    void OnAct() { ++actClicks; }
    void OnEditChange() { ++editChanges; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_BN_CLICKED(IDC_TEST_ACT, &TestDialog::OnAct)
ON_EN_CHANGE(IDC_TEST_EDIT, &TestDialog::OnEditChange)
END_MESSAGE_MAP()

TEST(Dialog, LoadsMembersAndOkTakesTheControlsBack) {
    TestDialog dialog;
    int shownCheck = -1;
    CString shownText;
    dialog.onInit = [&](TestDialog& d) {
        shownCheck = IsDlgButtonChecked(d.m_hWnd, IDC_TEST_BOX);
        d.GetDlgItem(IDC_TEST_EDIT).GetWindowText(shownText, afx::TextOrigin::System);
        SetDlgItemTextA(d.m_hWnd, IDC_TEST_EDIT, "typed");
        CheckDlgButton(d.m_hWnd, IDC_TEST_BOX, BST_UNCHECKED);
        d.Post(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shownCheck, BST_CHECKED);
    EXPECT_EQ(shownText, "initial");
    EXPECT_EQ(dialog.m_text, "typed");
    EXPECT_EQ(dialog.m_check, BST_UNCHECKED);
    EXPECT_EQ(dialog.okCalls, 1);
    // The windows are gone and nothing points at them any more.
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_box.m_hWnd, nullptr);
}

TEST(Dialog, CheckValueOutsideTheRangeIsLoadedAsZero) {
    for (int value : {-1, 3, 5}) {
        TestDialog dialog;
        dialog.m_check = value;
        int shownCheck = -1;
        int memberAfterLoad = -1;
        dialog.onInit = [&](TestDialog& d) {
            shownCheck = IsDlgButtonChecked(d.m_hWnd, IDC_TEST_BOX);
            memberAfterLoad = d.m_check;
            d.Post(WM_COMMAND, IDCANCEL);
        };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(shownCheck, BST_UNCHECKED) << value;
        EXPECT_EQ(memberAfterLoad, 0) << value;
    }
}

TEST(Dialog, NotificationsRaisedByDataExchangeAreDropped) {
    TestDialog dialog;
    int changesAfterLoad = -1;
    dialog.onInit = [&](TestDialog& d) {
        changesAfterLoad = d.editChanges;  // the load wrote "initial" into the box
        SetDlgItemTextA(d.m_hWnd, IDC_TEST_EDIT, "by hand");
        d.Post(WM_COMMAND, IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(changesAfterLoad, 0);
    EXPECT_EQ(dialog.editChanges, 1);
}

TEST(Dialog, ClicksRunTheirHandlerAndUnhandledCommandsReachTheApplication) {
    BoxRecorder recorder;
    afx::ScopedMessageBoxResponder responder(recorder);
    TestDialog dialog;
    dialog.onInit = [&](TestDialog& d) {
        SendMessageA(GetDlgItem(d.m_hWnd, IDC_TEST_ACT), BM_CLICK, 0, 0);
        d.SendMessage(WM_COMMAND, kHelpCommand);  // the application's standard help
        d.SendMessage(WM_COMMAND,
                      MAKEWPARAM(kHelpCommand, EN_CHANGE));  // a notification is no command
        d.Post(WM_COMMAND, IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(dialog.actClicks, 1);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, "Failed to launch help.");
    EXPECT_EQ(recorder.boxes[0].caption, "framework_tests");
}

TEST(Dialog, EnterEscapeAndTheCloseBoxEndTheDialog) {
    struct Case {
        const char* what;
        std::function<void(TestDialog&)> act;
        INT_PTR result;
    };
    const Case cases[] = {
        {"Enter off the push buttons",
         [](TestDialog& d) {
             HWND box = GetDlgItem(d.m_hWnd, IDC_TEST_BOX);
             PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
             PostMessageA(box, WM_KEYUP, VK_RETURN, 0);
         },
         IDOK},
        {"Escape",
         [](TestDialog& d) {
             HWND edit = GetDlgItem(d.m_hWnd, IDC_TEST_EDIT);
             PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
             PostMessageA(edit, WM_KEYUP, VK_ESCAPE, 0);
         },
         IDCANCEL},
        {"close box", [](TestDialog& d) { d.Post(WM_SYSCOMMAND, SC_CLOSE); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        TestDialog dialog;
        dialog.onInit = c.act;
        EXPECT_EQ(dialog.DoModal(), c.result) << c.what;
        EXPECT_EQ(dialog.okCalls + dialog.cancelCalls, 1) << c.what;
    }
}

TEST(Dialog, ProgressBarSteps) {
    TestDialog dialog;
    int previous = -1;
    int position = -1;
    dialog.onInit = [&](TestDialog& d) {
        d.m_progress.SetRange(0, 50);
        d.m_progress.SetStep(1);
        d.m_progress.SetPos(0);
        d.m_progress.StepIt();
        previous = d.m_progress.StepIt();
        position = static_cast<int>(d.m_progress.SendMessage(PBM_GETPOS));
        d.Post(WM_COMMAND, IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(previous, 1);
    EXPECT_EQ(position, 2);
}

// A bar the template hides is made in its item's place once shown; the
// item passes the bar's messages on and hides the bar with itself.
TEST(Dialog, HiddenProgressBarIsMadeWhenShown) {
    TestDialog dialog;
    HWND before = nullptr, bar = nullptr;
    RECT place{}, made{};
    LRESULT position = -1;
    LONG shown = 0, hidden = 0;
    dialog.onInit = [&](TestDialog& d) {
        HWND item = GetDlgItem(d.m_hWnd, IDC_TEST_HIDDEN_PROGRESS);
        before = GetWindow(item, GW_HWNDNEXT);
        GetWindowRect(item, &place);
        ShowWindow(item, SW_SHOWNORMAL);
        bar = GetWindow(item, GW_HWNDNEXT);
        GetWindowRect(bar, &made);
        SendMessageW(item, PBM_SETPOS, 7, 0);
        position = SendMessageW(bar, PBM_GETPOS, 0, 0);  // the library's bar answers
        shown = GetWindowLongW(bar, GWL_STYLE) & WS_VISIBLE;
        ShowWindow(item, SW_HIDE);
        hidden = GetWindowLongW(bar, GWL_STYLE) & WS_VISIBLE;
        d.Post(WM_COMMAND, IDCANCEL);
    };
    dialog.DoModal();
    EXPECT_EQ(before, nullptr);
    EXPECT_TRUE(EqualRect(&place, &made));
    EXPECT_EQ(position, 7);
    EXPECT_EQ(shown, WS_VISIBLE);
    EXPECT_EQ(hidden, 0);
}

TEST(Dialog, MissingTemplateFails) {
    CDialog dialog(999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

HWND CreatePopup(const char* className, const char* text, HWND parent = nullptr) {
    const DWORD style = parent ? WS_CHILD : WS_POPUP;
    return CreateWindowExA(0, className, text, style, 0, 0, 50, 20, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(Subclassing, IsExclusiveAndEndsWithTheObject) {
    HWND window = CreatePopup("STATIC", "text");
    ASSERT_TRUE(window);
    const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
    {
        CWnd first;
        ASSERT_TRUE(first.SubclassWindow(window));
        EXPECT_NE(GetWindowLongPtrA(window, GWLP_WNDPROC), original);
        EXPECT_EQ(CWnd::FromHandlePermanent(window), &first);
        CWnd second;
        EXPECT_FALSE(second.SubclassWindow(window));
        // Messages without a handler reach the window's own procedure.
        SetWindowTextA(window, "changed");
        char text[16] = {};
        GetWindowTextA(window, text, sizeof(text));
        EXPECT_STREQ(text, "changed");
    }
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    CWnd later;
    EXPECT_TRUE(later.SubclassWindow(window));
    DestroyWindow(window);
    EXPECT_EQ(later.m_hWnd, nullptr);  // let go with the window
}

class ColourWnd : public CWnd {
public:
    HBRUSH brush = nullptr;
    HDC seenDC = nullptr;
    CWnd* seenWnd = nullptr;
    UINT seenKind = 0;

protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
        seenDC = pDC->m_hDC;
        seenWnd = pWnd;
        seenKind = nCtlColor;
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColourWnd, CWnd)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(MessageMap, ColourRequestsReachTheHandlerWithDcControlAndKind) {
    HWND parent = CreatePopup("STATIC", "");
    HWND child = CreatePopup("STATIC", "", parent);
    HDC dc = CreateCompatibleDC(nullptr);
    CBrush brush;
    brush.CreateSolidBrush(RGB(1, 2, 3));
    ColourWnd wnd;
    wnd.brush = brush;
    ASSERT_TRUE(wnd.SubclassWindow(parent));

    const LRESULT result = SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(result), static_cast<HBRUSH>(brush));
    EXPECT_EQ(wnd.seenDC, dc);
    ASSERT_NE(wnd.seenWnd, nullptr);
    EXPECT_EQ(wnd.seenWnd->m_hWnd, child);
    EXPECT_EQ(wnd.seenKind, static_cast<UINT>(CTLCOLOR_STATIC));

    SendMessageA(parent, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(parent));
    EXPECT_EQ(wnd.seenWnd, &wnd);  // the window itself, as its own object
    EXPECT_EQ(wnd.seenKind, static_cast<UINT>(CTLCOLOR_DLG));

    DestroyWindow(parent);
    DeleteDC(dc);
}

TEST(Gdi, OwnersDeleteTheirObjectsAndBorrowersDoNot) {
    HBRUSH first = nullptr;
    HBRUSH second = nullptr;
    HGDIOBJ font = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(170, 210, 150)));
        first = brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(0, 0, 0)));  // replaces, and deletes, the first
        second = brush;
        EXPECT_EQ(GetObjectType(first), 0u);
        EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));

        CFont cfont;
        ASSERT_TRUE(cfont.CreateFont(14, 0, 0, 0, 600, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH, "SimSun"));
        font = cfont.GetSafeHandle();
        CDC cdc(dc);
        const HGDIOBJ before = cdc.SelectObject(&cfont);
        SelectObject(dc, before);  // let the font go before its owner deletes it
    }
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));  // borrowed, still there
    DeleteDC(dc);
}

TEST(Application, RegistersItselfAndNamesTheMainWindow) {
    EXPECT_EQ(AfxGetApp(), &testApp);
    EXPECT_EQ(afx::GetMainWindow(), nullptr);
    HWND window = CreatePopup("STATIC", "");
    CWnd main;
    main.m_hWnd = window;
    testApp.m_pMainWnd = &main;
    EXPECT_EQ(afx::GetMainWindow(), window);
    testApp.m_pMainWnd = nullptr;
    DestroyWindow(window);
}

TEST(ErrorReport, ShowsThePlatformTextWithAStopIcon) {
    BoxRecorder recorder;
    afx::ScopedMessageBoxResponder responder(recorder);
    AfxReportError(E_INVALIDARG);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    const std::string& text = recorder.boxes[0].text;
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "0x80070057");  // the platform has a text for it
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(recorder.boxes[0].caption, "framework_tests");
    EXPECT_EQ(recorder.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(AfxErrorText(static_cast<HRESULT>(0xA0001234)), "0xA0001234");
}

}  // namespace
