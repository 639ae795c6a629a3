#include "setup/setup_dialog.h"

#include <algorithm>
#include <iterator>

#include "chooser/path_dialog.h"
#include "framework/afx_app.h"
#include "framework/afx_input_guard.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "hosts/found_hosts.h"
#include "install/install_checks.h"
#include "install/install_command.h"
#include "install/installation.h"
#include "run/product.h"
#include "run/run_contract.h"
#include "run/run_log.h"
#include "setup/setup_title.h"

namespace {

constexpr const char* kEdition = "( 浩辰CAD版 )";
constexpr const char* kChooserText = "请选择安装目录：";  // caption and prompt alike
constexpr int kChooserConfirmed = 1;

// The layouts the run switches to: which items show and which go.
struct ItemShown {
    int id;
    bool show;
};
// The progress bar in place of the folder.
constexpr ItemShown kProgressLayout[] = {{IDC_PATH_HEADING, false},
                                         {IDC_INSTALL_PATH, false},
                                         {IDC_BROWSE, false},
                                         {IDC_PROGRESS, true}};
// The result in place of the choices (the release boxes go too).
constexpr ItemShown kCompletionLayout[] = {{IDC_DONE_TEXT, true},
                                           {IDC_MENU_PICTURE, true},
                                           {IDC_RELEASE_HEADING, false},
                                           {IDC_PROGRESS, false},
                                           {IDOK, true},
                                           {IDC_INSTALL, false},
                                           {IDCANCEL, false},
                                           {IDC_NOTE, false},
                                           {IDC_NOTE_2023_1, false},
                                           {IDC_NOTE_2023_2, false}};
constexpr short kProgressLow = 0;
constexpr short kProgressHigh = 50;
constexpr int kProgressStep = 1;

// The dialog's progress bar as the installation sees it. The bar is redrawn
// at once: the whole installation runs without returning to the message loop.
class ProgressBarSink : public ProgressSink {
public:
    ProgressBarSink(CProgressCtrl& bar, const bool& cancelRequested)
        : m_bar(bar), m_cancelRequested(cancelRequested) {}
    void StepIt() override {
        m_bar.StepIt();
        ::UpdateWindow(m_bar);
    }
    bool CancelRequested() const override { return m_cancelRequested; }

private:
    CProgressCtrl& m_bar;
    const bool& m_cancelRequested;
};

constexpr COLORREF kBackColour = RGB(170, 210, 150);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kTitleColour = RGB(10, 70, 40);
constexpr COLORREF kNoteColour = RGB(255, 0, 0);

constexpr const char* kFontFace = "宋体";
// Heights at 96 DPI; the fonts are made for the dialog's DPI.
constexpr int kTitleFontHeight = 14;
constexpr int kTitleFontWeight = 600;
constexpr int kLabelFontHeight = 13;
constexpr int kLabelFontWeight = 400;

// The pictures' resources at 100 %, 150 % and 200 %, and the DPI from which
// each scale is used.
constexpr UINT kLogoBitmaps[] = {IDB_LOGO, IDB_LOGO_150, IDB_LOGO_200};
constexpr UINT kMenuBitmaps[] = {IDB_MENU, IDB_MENU_150, IDB_MENU_200};
constexpr UINT kScaleFromDpi[] = {96, 144, 192};
constexpr int kScaleCount = Dlg_Setup::kPictureScales;
static_assert(std::size(kScaleFromDpi) == kScaleCount && std::size(kLogoBitmaps) == kScaleCount &&
              std::size(kMenuBitmaps) == kScaleCount);

int PictureScaleFor(UINT dpi) {
    int scale = 0;
    while (scale + 1 < kScaleCount && dpi >= kScaleFromDpi[scale + 1]) ++scale;
    return scale;
}

// The template's logo: the one picture control without an id of its own.
CWindow FindLogo(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool picture = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        if (picture && GetDlgCtrlID(child) != IDC_MENU_PICTURE) return child;
    }
    return nullptr;
}

// Shows a picture's bitmap of the scale in its control, loading it first; a
// picture control takes the size of its bitmap. The bitmap the control
// loaded from the template is nobody's once replaced, and goes.
void ShowPicture(CWindow control, CBitmap* bitmaps, const UINT* ids, int scale) {
    CBitmap& bitmap = bitmaps[scale];
    if (!control || (!bitmap.GetSafeHandle() && !bitmap.LoadBitmap(ids[scale]))) return;
    const auto previous = reinterpret_cast<HGDIOBJ>(control.SendMessage(
        STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.GetSafeHandle())));
    const bool ours = std::any_of(bitmaps, bitmaps + kScaleCount,
                                  [&](const CBitmap& b) { return b.GetSafeHandle() == previous; });
    if (previous && !ours) ::DeleteObject(previous);
}

BOOL CreateDialogFont(CFont& font, int height, int weight, UINT dpi) {
    return font.CreateFont(afx::ScaleToDpi(height, dpi), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                           ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, kFontFace);
}

}  // namespace

const Dlg_Setup::ReleaseRow Dlg_Setup::kReleaseRows[kHostReleaseCount] = {
    {IDC_RELEASE_2023, &Dlg_Setup::m_bRelease2023, &Dlg_Setup::m_btn2023},
    {IDC_RELEASE_2024, &Dlg_Setup::m_bRelease2024, &Dlg_Setup::m_btn2024},
    {IDC_RELEASE_2025, &Dlg_Setup::m_bRelease2025, &Dlg_Setup::m_btn2025},
    {IDC_RELEASE_2026, &Dlg_Setup::m_bRelease2026, &Dlg_Setup::m_btn2026},
};

BEGIN_MESSAGE_MAP(Dlg_Setup, CDialog)
ON_WM_CTLCOLOR()
ON_WM_DPICHANGED()
ON_BN_CLICKED(IDC_RELEASE_2023, &Dlg_Setup::OnReleaseClicked)
ON_BN_CLICKED(IDC_RELEASE_2024, &Dlg_Setup::OnReleaseClicked)
ON_BN_CLICKED(IDC_RELEASE_2025, &Dlg_Setup::OnReleaseClicked)
ON_BN_CLICKED(IDC_RELEASE_2026, &Dlg_Setup::OnReleaseClicked)
ON_BN_CLICKED(IDC_BROWSE, &Dlg_Setup::OnBrowse)
ON_BN_CLICKED(IDC_INSTALL, &Dlg_Setup::OnInstall)
ON_COMMAND(ID_UNATTENDED_INSTALL, &Dlg_Setup::OnUnattendedInstall)
END_MESSAGE_MAP()

Dlg_Setup::Dlg_Setup(CWnd* pParent, RunLog* log)
    : CDialog(IDD, pParent),
      m_bRelease2023(1),
      m_bRelease2024(1),
      m_bRelease2025(1),
      m_bRelease2026(1),
      m_strInstallPath(kDefaultChosenFolder),
      m_nExitCode(exit_code::kUserCancelled),
      m_log(log ? *log : m_unopenedLog) {}

INT_PTR Dlg_Setup::RunShowingProgressOnly(const InstallRequest& request) {
    m_pUnattended = &request;
    return DoModal();
}

void Dlg_Setup::ModifyInstallation(const CString& chosenFolder, const ReleaseSelection& ticked) {
    m_bModify = true;
    m_strFixedFolder = chosenFolder;
    m_modifyTicks = ticked;
}

void Dlg_Setup::OnUnattendedInstall() {
    // Nobody works this dialog: it only shows the progress.
    ::EnableWindow(m_hWnd, FALSE);
    m_bInstalling = true;
    const bool installed = DoInstall(*m_pUnattended);
    m_bInstalling = false;
    if (installed) EndDialog(IDOK);
}

void Dlg_Setup::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (const ReleaseRow& row : kReleaseRows) {
        DDX_Control(pDX, row.id, this->*row.button);
        DDX_Check(pDX, row.id, this->*row.flag);
    }
    DDX_Text(pDX, IDC_TITLE, m_strTitle, afx::TextOrigin::Program);
    DDX_Text(pDX, IDC_EDITION, m_strEdition, afx::TextOrigin::Program);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Text(pDX, IDC_INSTALL_PATH, m_strInstallPath, afx::TextOrigin::System);
}

BOOL Dlg_Setup::OnInitDialog() {
    // An earlier installation: its folder is where an upgrade goes.
    const CString previous = PreviouslyChosenFolder();
    if (!previous.IsEmpty()) m_strInstallPath = previous;
    CDialog::OnInitDialog();

    m_brushBack.CreateSolidBrush(kBackColour);
    ApplyDpi(afx::GetWindowDpi(m_hWnd));

    m_strTitle = FormatSetupTitle(kSetupVersion);
    m_strEdition = kEdition;

    if (HICON icon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_SETUP))) {
        SetIcon(icon, FALSE);
    }

    // Only releases with an installation on this machine are offered.
    for (HostRelease release : kHostReleases) {
        const ReleaseRow& row = kReleaseRows[HostReleaseIndex(release)];
        if (theHostRegistry.GetHostCount(release) == 0) (this->*row.button).EnableWindow(FALSE);
        if (!IsReleaseOffered(theHostRegistry, release)) this->*row.flag = 0;
    }
    if (m_bModify) {
        for (HostRelease release : kHostReleases) {
            int& flag = this->*kReleaseRows[HostReleaseIndex(release)].flag;
            flag = flag && m_modifyTicks.IsSelected(release) ? 1 : 0;
        }
        m_strInstallPath = m_strFixedFolder;
    }
    // An unattended run shows the releases it installs.
    if (IsUnattended()) {
        for (HostRelease release : kHostReleases) {
            this->*kReleaseRows[HostReleaseIndex(release)].flag =
                m_pUnattended->releases.IsSelected(release) ? 1 : 0;
        }
        m_strInstallPath = m_pUnattended->chosenFolder;
    }

    UpdateData(FALSE);
    UpdateInstallButton();
    if (m_bModify) {
        for (const int id : {IDC_INSTALL_PATH, IDC_BROWSE}) GetDlgItem(id).EnableWindow(FALSE);
    }
    // Once the dialog shows: the installation runs from the message loop.
    if (IsUnattended()) ::PostMessageW(m_hWnd, WM_COMMAND, ID_UNATTENDED_INSTALL, 0);
    return TRUE;
}

void Dlg_Setup::OnOK() {
    if (m_bInstalling) return;
    CDialog::OnOK();
}

void Dlg_Setup::OnCancel() {
    if (!m_bInstalling) {
        CDialog::OnCancel();
        return;
    }
    m_bCancelRequested = true;
    // The box the run is waiting on goes as if answered Abort.
    HWND box = ::GetLastActivePopup(m_hWnd);
    if (box && box != m_hWnd) ::PostMessageA(box, WM_COMMAND, IDABORT, 0);
}

void Dlg_Setup::UpdateInstallButton() {
    UpdateData(TRUE);
    if (CWindow install = GetDlgItem(IDC_INSTALL)) install.EnableWindow(TickedReleases().Any());
}

void Dlg_Setup::OnReleaseClicked() {
    // Automatic check boxes: the platform has toggled the box already.
    UpdateInstallButton();
}

void Dlg_Setup::OnBrowse() {
    if (m_bModify) return;  // the folder is the installation's
    UpdateData(TRUE);       // a folder typed into the edit box is the starting point
    const CString initialFolder = m_strInstallPath;
    CPathDialog chooser(kChooserText, kChooserText, initialFolder, nullptr);
    if (chooser.RunModal() == kChooserConfirmed) {
        m_strInstallPath = chooser.GetFolderPath();
        UpdateData(FALSE);
    }
    UpdateInstallButton();
}

HBRUSH Dlg_Setup::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    CDialog::OnCtlColor(pDC, pWnd, nCtlColor);  // its brush is not used
    pDC->SetTextColor(kTextColour);
    const int id = pWnd->GetDlgCtrlID();
    // The edit box keeps the opaque cells the default handling set up.
    if (id != IDC_INSTALL_PATH) pDC->SetBkMode(TRANSPARENT);
    switch (id) {
        case IDC_TITLE:
            pDC->SelectObject(&m_fontTitle);
            pDC->SetTextColor(kTitleColour);
            break;
        case IDC_EDITION:
            pDC->SelectObject(&m_fontLabel);
            pDC->SetTextColor(kTitleColour);
            break;
        case IDC_NOTE:
            pDC->SelectObject(&m_fontLabel);
            pDC->SetTextColor(kNoteColour);
            break;
        default:
            break;
    }
    return m_brushBack;
}

void Dlg_Setup::OnDpiChanged(UINT dpi) {
    ApplyDpi(dpi);
}

void Dlg_Setup::ApplyDpi(UINT dpi) {
    CreateDialogFont(m_fontTitle, kTitleFontHeight, kTitleFontWeight, dpi);
    CreateDialogFont(m_fontLabel, kLabelFontHeight, kLabelFontWeight, dpi);
    const int scale = PictureScaleFor(dpi);
    if (scale != m_pictureScale) {
        ShowPicture(FindLogo(m_hWnd), m_logoBitmaps, kLogoBitmaps, scale);
        ShowPicture(GetDlgItem(IDC_MENU_PICTURE), m_menuBitmaps, kMenuBitmaps, scale);
        m_pictureScale = scale;
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

ReleaseSelection Dlg_Setup::TickedReleases() const {
    ReleaseSelection ticked;
    for (HostRelease release : kHostReleases) {
        ticked.Select(release, this->*kReleaseRows[HostReleaseIndex(release)].flag != 0);
    }
    return ticked;
}

void Dlg_Setup::OnInstall() {
    // A click or a key that reaches the dialog while a box of the run is up.
    if (m_bInstalling) return;
    if (WarnOfRunningHostOnce(m_hWnd)) return;
    UpdateData(TRUE);
    // The disabled edit box may still be sent a text: a modify keeps its folder.
    if (m_bModify) m_strInstallPath = m_strFixedFolder;
    InstallRequest request;
    const PackageSource source =
        m_bModify ? PackageSource::KeptByInstallation : PackageSource::BesideProgram;
    switch (
        CheckInstallCommand(m_hWnd, m_strInstallPath, TickedReleases(), source, &request, m_log)) {
        case InstallCheck::Passed:
            break;
        case InstallCheck::Refused:
            return;
        case InstallCheck::NoPackage:
            m_nExitCode = exit_code::kFailed;
            CDialog::OnCancel();  // the user has been told; there is nothing to install
            return;
    }
    m_bInstalling = true;
    const bool installed = DoInstall(request);
    m_bInstalling = false;
    if (!installed) return;
    // Closed during the last box: the installation is complete, and the user
    // has asked to leave.
    if (m_bCancelRequested) {
        CDialog::OnCancel();
        return;
    }
    afx::DiscardQueuedInput();  // a key typed during the run must not close the new layout
    ShowCompletionLayout();
}

void Dlg_Setup::ShowProgressLayout() {
    for (const ItemShown& item : kProgressLayout) ShowItem(item.id, item.show);
    ::UpdateWindow(m_hWnd);

    m_progress.SetRange(kProgressLow, kProgressHigh);
    m_progress.SetStep(kProgressStep);
    m_progress.SetPos(kProgressLow);
}

bool Dlg_Setup::DoInstall(const InstallRequest& request) {
    ShowProgressLayout();
    ProgressBarSink progress(m_progress, m_bCancelRequested);
    Installation installation(request, theHostRegistry, progress, m_log, m_hWnd);
    const InstallResult result = installation.Run();
    // An unattended run's boxes are answered by nobody at the screen.
    m_nExitCode = ExitCodeOf(result, request.unattended ? RunMode::Silent : RunMode::Interactive);
    if (result == InstallResult::Aborted || result == InstallResult::Failed ||
        result == InstallResult::RestartFirst) {
        // The user has been told, or closed the dialog; nothing of the run stays.
        CDialog::OnCancel();
        return false;
    }
    m_progress.SetPos(kProgressHigh);  // full, whatever the number of steps
    if (result == InstallResult::Incomplete) {
        afx::ShowMessageBox(m_hWnd, installation.NotDone().WarningText(), kSetupBoxCaption,
                            MB_OK | MB_ICONWARNING);
    }
    const afx::UiText notice = installation.Notice();
    if (!notice.IsEmpty()) {
        afx::ShowMessageBox(m_hWnd, notice, kSetupBoxCaption, MB_OK | MB_ICONINFORMATION);
    }
    return true;
}

void Dlg_Setup::ShowItem(int id, bool show) {
    if (CWindow item = GetDlgItem(id)) item.ShowWindow(show ? SW_SHOWNORMAL : SW_HIDE);
}

void Dlg_Setup::ShowCompletionLayout() {
    for (const ItemShown& item : kCompletionLayout) ShowItem(item.id, item.show);
    for (const ReleaseRow& row : kReleaseRows) ShowItem(row.id, false);
    UpdateData(FALSE);

    // Shorten the dialog so that the completion button ends as far above the
    // lower edge as the Cancel button did.
    RECT window{};
    GetWindowRect(&window);
    RECT done{};
    RECT cancel{};
    GetDlgItem(IDOK).GetWindowRect(&done);
    GetDlgItem(IDCANCEL).GetWindowRect(&cancel);
    ScreenToClient(&done);
    ScreenToClient(&cancel);
    window.bottom += done.bottom - cancel.bottom;
    MoveWindow(&window, TRUE);
}
