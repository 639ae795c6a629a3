#include "setup/setup_dialog.h"

#include "chooser/path_dialog.h"
#include "framework/afx_app.h"
#include "framework/afx_input_guard.h"
#include "framework/afx_msgbox.h"
#include "install/install_checks.h"
#include "install/installation.h"
#include "install/offered.h"
#include "run/product.h"
#include "run/run_contract.h"
#include "setup/progress_bar_sink.h"
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

constexpr COLORREF kBackColour = RGB(170, 210, 150);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
constexpr COLORREF kTitleColour = RGB(10, 70, 40);
constexpr COLORREF kNoteColour = RGB(255, 0, 0);

}  // namespace

const Dlg_Setup::ModeRules Dlg_Setup::kModes[] = {
    /* Choose */ {false, false, PackageSource::BesideProgram},
    /* Modify */ {true, false, PackageSource::KeptByInstallation},
    // The request names its package; there is no install command.
    /* ProgressOnly */ {true, true, PackageSource::BesideProgram},
};

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

Dlg_Setup::Dlg_Setup(const MachineAtStart& machine, RunLog* log, CWnd* pParent)
    : CDialog(IDD, pParent),
      m_machine(machine),
      m_nExitCode(exit_code::kUserCancelled),
      m_log(log ? *log : m_unopenedLog),
      m_checks(m_log) {
    // An earlier installation: its folder is where an upgrade goes.
    const CString previous = PreviouslyChosenFolder(machine.earlier);
    Start(Mode::Choose, previous.IsEmpty() ? CString(kDefaultChosenFolder) : previous,
          OfferedReleases(machine.hosts));
}

void Dlg_Setup::Start(Mode mode, const CString& folder, const ReleaseSelection& ticked) {
    m_mode = mode;
    m_startFolder = folder;
    m_startTicks = ticked;
}

INT_PTR Dlg_Setup::RunShowingProgressOnly(const InstallRequest& request) {
    Start(Mode::ProgressOnly, request.chosenFolder, request.releases);
    m_pProgressOnly = &request;
    return DoModal();
}

void Dlg_Setup::ModifyInstallation(const CString& chosenFolder, const ReleaseSelection& ticked) {
    Start(Mode::Modify, chosenFolder, ticked);
}

void Dlg_Setup::OnUnattendedInstall() {
    // Nobody works this dialog: it only shows the progress.
    ::EnableWindow(m_hWnd, FALSE);
    m_bInstalling = true;
    const bool installed = DoInstall(*m_pProgressOnly);
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
    m_strInstallPath = m_startFolder;
    // Only releases with an installation on this machine are offered.
    ReleaseSelection ticked;
    for (const HostRelease release : m_startTicks.Releases()) {
        ticked.Select(release, IsReleaseOffered(m_machine.hosts, release));
    }
    Tick(ticked);
    CDialog::OnInitDialog();
    m_checks.ShowOver(m_hWnd);

    m_brushBack.CreateSolidBrush(kBackColour);
    m_scale.Apply(m_hWnd, afx::GetWindowDpi(m_hWnd));
    m_strTitle = FormatSetupTitle(kSetupVersion);
    m_strEdition = kEdition;
    if (HICON icon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_SETUP))) {
        SetIcon(icon, FALSE);
    }
    for (const HostRelease release : kHostReleases) {
        if (m_machine.hosts.GetHostCount(release) == 0) {
            (this->*kReleaseRows[HostReleaseIndex(release)].button).EnableWindow(FALSE);
        }
    }
    UpdateData(FALSE);
    UpdateInstallButton();
    if (Rules().folderFixed) {
        for (const int id : {IDC_INSTALL_PATH, IDC_BROWSE}) GetDlgItem(id).EnableWindow(FALSE);
    }
    // Once the dialog shows: the installation runs from the message loop.
    if (Rules().installsAtOnce) ::PostMessageW(m_hWnd, WM_COMMAND, ID_UNATTENDED_INSTALL, 0);
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
    if (Rules().folderFixed) return;  // the folder is the installation's
    UpdateData(TRUE);                 // a folder typed into the edit box is the starting point
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
            pDC->SelectObject(&m_scale.TitleFont());
            pDC->SetTextColor(kTitleColour);
            break;
        case IDC_EDITION:
            pDC->SelectObject(&m_scale.LabelFont());
            pDC->SetTextColor(kTitleColour);
            break;
        case IDC_NOTE:
            pDC->SelectObject(&m_scale.LabelFont());
            pDC->SetTextColor(kNoteColour);
            break;
        default:
            break;
    }
    return m_brushBack;
}

void Dlg_Setup::OnDpiChanged(UINT dpi) {
    m_scale.Apply(m_hWnd, dpi);
}

ReleaseSelection Dlg_Setup::TickedReleases() const {
    ReleaseSelection ticked;
    for (const HostRelease release : kHostReleases) {
        ticked.Select(release, this->*kReleaseRows[HostReleaseIndex(release)].flag != 0);
    }
    return ticked;
}

void Dlg_Setup::Tick(const ReleaseSelection& releases) {
    for (const HostRelease release : kHostReleases) {
        this->*kReleaseRows[HostReleaseIndex(release)].flag = releases.IsSelected(release) ? 1 : 0;
    }
}

void Dlg_Setup::OnInstall() {
    // A click or a key that reaches the dialog while a box of the run is up.
    if (m_bInstalling) return;
    UpdateData(TRUE);
    // The disabled edit box may still be sent a text: a given folder stays.
    if (Rules().folderFixed) m_strInstallPath = m_startFolder;
    InstallRequest request;
    const Refusal refusal =
        CheckBeforeInstalling({m_strInstallPath, TickedReleases(), Rules().source},
                              m_machine.earlier, m_checks, &request);
    if (!request.installFolder.IsEmpty()) m_strInstallPath = request.installFolder;
    if (refusal == Refusal::NoPackage) {
        m_nExitCode = ExitCodeOfRefusal(refusal);
        CDialog::OnCancel();  // the user has been told; there is nothing to install
        return;
    }
    if (refusal != Refusal::None) return;
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
    Installation installation(request, m_machine, progress, m_log, m_hWnd);
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
