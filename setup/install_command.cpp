// The install command of the setup dialog: the install button 1022.
#include "setup/install_command.h"

#include "deploy/host_deployment.h"
#include "deploy/package_copy.h"
#include "deploy/plugin_registration.h"
#include "deploy/progress_sink.h"
#include "deploy/setup_messages.h"
#include "framework/afx_error.h"
#include "framework/afx_msgbox.h"
#include "hosts/host_registry.h"
#include "hosts/running_host.h"
#include "setup/setup_dialog.h"
#include "text/path_text.h"

bool g_bWarnHostRunning = true;

namespace {

constexpr const char* kCloseHostText = "请关闭CAD后再进行安装 !";
constexpr const char* kInstallSubFolder = "\\T-ZozerIded";
constexpr short kProgressLow = 0;
constexpr short kProgressHigh = 50;
constexpr int kProgressStep = 1;

// The dialog's progress bar as the package copy sees it. The bar is redrawn
// at once: the whole installation runs without returning to the message loop.
class ProgressBarSink : public ProgressSink {
public:
    explicit ProgressBarSink(CProgressCtrl& bar) : m_bar(bar) {}
    void StepIt() override {
        m_bar.StepIt();
        ::UpdateWindow(m_bar);
    }

private:
    CProgressCtrl& m_bar;
};

}  // namespace

void Dlg_Setup::OnInstall() {
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
    // One real backslash character goes; a double-byte character whose
    // trail byte is 0x5C stays whole.
    StripAnyTrailingBackslash(m_strInstallPath);
    CreateDirectoryA(m_strInstallPath, nullptr);  // failures show in the copy
    m_strInstallPath += kInstallSubFolder;
    CreateDirectoryA(m_strInstallPath, nullptr);

    if (!DoInstall()) return;
    ShowCompletionLayout();
}

bool Dlg_Setup::DoInstall() {
    ShowItem(IDC_PATH_HEADING, false);
    ShowItem(IDC_INSTALL_PATH, false);
    ShowItem(IDC_BROWSE, false);
    ShowItem(IDC_PROGRESS, true);
    ::UpdateWindow(m_hWnd);

    m_progress.SetRange(kProgressLow, kProgressHigh);
    m_progress.SetStep(kProgressStep);
    m_progress.SetPos(kProgressLow);

    ProgressBarSink progress(m_progress);
    if (!CopyPackageFiles(m_strInstallPath, progress)) {
        OnCancel();  // the user has been told; nothing more may be done
        return false;
    }
    progress.StepIt();

    // Registration reads the installation folder from the record.
    theHostRegistry.installFolder = m_strInstallPath;
    const std::array<bool, kHostReleaseCount> use = SelectedReleases();
    RegisterPlugin(theHostRegistry, use[0], use[1], use[2], use[3]);
    progress.StepIt();
    DeployToHosts(theHostRegistry, use[0], use[1], use[2], use[3]);
    progress.StepIt();

    m_progress.SetPos(kProgressHigh);  // full, whatever the number of steps
    return true;
}

void Dlg_Setup::ShowItem(int id, bool show) {
    if (CWindow item = GetDlgItem(id)) item.ShowWindow(show ? SW_SHOWNORMAL : SW_HIDE);
}

void Dlg_Setup::ShowCompletionLayout() {
    ShowItem(IDC_DONE_TEXT, true);
    ShowItem(IDC_MENU_PICTURE, true);
    ShowItem(IDC_RELEASE_HEADING, false);
    ShowItem(IDC_PROGRESS, false);
    ShowItem(IDOK, true);
    for (int id : {IDC_INSTALL, IDCANCEL, IDC_NOTE, IDC_NOTE_2023_1, IDC_NOTE_2023_2}) {
        ShowItem(id, false);
    }
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
