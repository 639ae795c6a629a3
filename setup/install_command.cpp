// The install command of the setup dialog: the install button 1022, and the
// same installation run for an unattended /SILENT setup, which shows only
// the progress.
#include "setup/install_command.h"

#include <windows.h>

#include "chooser/path_rules.h"
#include "deploy/package_contents.h"
#include "framework/afx_app_name.h"
#include "framework/afx_error.h"
#include "framework/afx_msgbox.h"
#include "hosts/host_registry.h"
#include "hosts/running_host.h"
#include "lifecycle/product.h"
#include "lifecycle/run_account.h"
#include "lifecycle/run_contract.h"
#include "setup/install_checks.h"
#include "setup/installation.h"
#include "setup/setup_dialog.h"
#include "text/path_text.h"

bool g_bWarnHostRunning = true;

namespace {

constexpr char kLinkedFolderFormat[] =
    "安装文件夹 %s 是一个链接（符号链接、目录联接或装入点）。\n\n"
    "为防止文件被写到链接指向的别处，安装程序不会通过链接写入。请选择其它文件夹。";
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

}  // namespace

void Dlg_Setup::OnInstall() {
    // A click or a key that reaches the dialog while a box of the run is up.
    if (m_bInstalling) return;
    if (g_bWarnHostRunning && IsHostRunning()) {
        afx::ShowMessageBox(m_hWnd, kCloseHostText, kSetupBoxCaption, MB_OK);
        g_bWarnHostRunning = false;
        return;
    }

    UpdateData(TRUE);
    if (m_strInstallPath.IsEmpty()) {
        // The framework's report of a command that failed on its argument.
        AfxReportError(E_INVALIDARG);
        return;
    }
    // The program runs elevated, in whatever folder it was started from: a
    // relative folder would land there, and the hosts could not find it.
    if (!IsAbsolutePath(m_strInstallPath)) {
        AfxMessageBox(InvalidFolderText(m_strInstallPath), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // One real backslash character goes; a double-byte character whose
    // trail byte is 0x5C stays whole.
    StripAnyTrailingBackslash(m_strInstallPath);
    InstallRequest request;
    request.setupFolder = ParentFolder(afx::GetModulePath());
    request.chosenFolder = m_strInstallPath;
    m_strInstallPath += kInstallSubFolder;
    request.installFolder = m_strInstallPath;
    request.releases = SelectedReleases();
    request.servesOwnProfile = !IsServiceAccountSid(CurrentAccount().sid);
    // Nothing is created before the package and the folders have passed.
    if (!CheckPackageBeforeInstalling(request.releases)) return;
    const CString linked = LinkedFolderOf(request.chosenFolder, request.installFolder);
    if (!linked.IsEmpty()) {
        afx::ShowMessageBox(m_hWnd, afx::FormatUiText(kLinkedFolderFormat, {linked}),
                            kSetupBoxCaption, MB_OK);
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

bool Dlg_Setup::CheckPackageBeforeInstalling(const std::array<bool, kHostReleaseCount>& use) {
    std::vector<CString> missing;
    switch (CheckPackage(use, &missing)) {
        case PackageCheck::Complete:
            return true;
        case PackageCheck::Missing:
            m_nExitCode = exit_code::kFailed;
            CDialog::OnCancel();  // the user has been told; there is nothing to install
            return false;
        case PackageCheck::Incomplete:
            afx::ShowMessageBox(m_hWnd, IncompletePackageText(missing), kSetupBoxCaption, MB_OK);
            return false;
    }
    return false;
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
    if (result == InstallResult::Aborted || result == InstallResult::Failed) {
        // The user has been told, or closed the dialog; nothing of the run stays.
        m_nExitCode = result == InstallResult::Aborted && !IsUnattended()
                          ? exit_code::kUserCancelled
                          : exit_code::kFailed;
        CDialog::OnCancel();
        return false;
    }
    m_progress.SetPos(kProgressHigh);  // full, whatever the number of steps
    m_nExitCode = result == InstallResult::Complete ? exit_code::kSuccess : exit_code::kFailed;
    if (result == InstallResult::Incomplete) {
        afx::ShowMessageBox(m_hWnd, installation.Account().WarningText(), kSetupBoxCaption,
                            MB_OK | MB_ICONWARNING);
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
