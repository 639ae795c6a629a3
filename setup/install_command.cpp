// The install command of the setup dialog: the install button 1022.
#include "setup/install_command.h"

#include <windows.h>

#include "chooser/path_rules.h"
#include "deploy/host_deployment.h"
#include "deploy/package_contents.h"
#include "deploy/package_copy.h"
#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "deploy/plugin_registration.h"
#include "deploy/progress_sink.h"
#include "framework/afx_app_name.h"
#include "framework/afx_error.h"
#include "framework/afx_msgbox.h"
#include "hosts/host_registry.h"
#include "hosts/running_host.h"
#include "lifecycle/folder_security.h"
#include "lifecycle/install_journal.h"
#include "lifecycle/product.h"
#include "lifecycle/record_store.h"
#include "lifecycle/uninstall_entry.h"
#include "setup/setup_dialog.h"
#include "setup/setup_title.h"
#include "text/path_text.h"

bool g_bWarnHostRunning = true;

namespace {

constexpr char kLinkedFolderFormat[] =
    "安装文件夹 %s 是一个链接（符号链接、目录联接或装入点）。\n\n"
    "为防止文件被写到链接指向的别处，安装程序不会通过链接写入。请选择其它文件夹。";
constexpr char kProtectionFailedFormat[] =
    "无法设置安装文件夹 %s 的访问权限（错误 %lu）。\n\n"
    "为防止其他用户替换插件文件，安装已停止，已创建的内容已撤销。";
constexpr short kProgressLow = 0;
constexpr short kProgressHigh = 50;
constexpr int kProgressStep = 1;

// The dialog's progress bar as the package copy sees it. The bar is redrawn
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
    const CString chosen = m_strInstallPath;
    m_strInstallPath += kInstallSubFolder;
    // Nothing is created before the package and the folders have passed.
    if (!CheckPackage() || RefuseLinkedFolder(chosen) || RefuseLinkedFolder(m_strInstallPath)) {
        return;
    }
    m_bInstalling = true;
    const bool installed = DoInstall();
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

bool Dlg_Setup::CheckPackage() {
    CString sourceFolder;
    if (!ResolvePackageSource(sourceFolder)) {
        CDialog::OnCancel();  // the user has been told; there is nothing to install
        return false;
    }
    const std::array<bool, kHostReleaseCount> use = SelectedReleases();
    const std::vector<CString> missing =
        MissingPackageFiles(sourceFolder, RequiredPackageFiles(use[0], use[1], use[2], use[3]));
    if (missing.empty()) return true;
    afx::ShowMessageBox(m_hWnd, IncompletePackageText(missing), kSetupBoxCaption, MB_OK);
    return false;
}

bool Dlg_Setup::RefuseLinkedFolder(const CString& folder) {
    if (!IsReparsePoint(AsFolderPath(folder))) return false;
    afx::ShowMessageBox(m_hWnd, afx::FormatUiText(kLinkedFolderFormat, {folder}), kSetupBoxCaption,
                        MB_OK);
    return true;
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

    InstallLog log;
    // The folder the user chose, then the installation folder inside it.
    log.journal.CreateFolder(ParentFolder(m_strInstallPath));
    if (!ProtectInstallationFolder(log)) return false;

    ProgressBarSink progress(m_progress, m_bCancelRequested);
    if (!CopyPackageFiles(m_strInstallPath, progress, log)) {
        // The user has been told, or closed the dialog: nothing more may be
        // done, and nothing of the copy stays.
        log.journal.Rollback();
        CDialog::OnCancel();
        return false;
    }
    progress.StepIt();

    // Registration reads the installation folder from the record.
    theHostRegistry.installFolder = m_strInstallPath;
    const std::array<bool, kHostReleaseCount> use = SelectedReleases();
    RegisterPlugin(theHostRegistry, use[0], use[1], use[2], use[3], log);
    progress.StepIt();
    DeployToHosts(theHostRegistry, use[0], use[1], use[2], use[3], log);
    progress.StepIt();

    log.journal.Commit();
    SetUpUninstall(log);
    m_progress.SetPos(kProgressHigh);  // full, whatever the number of steps
    if (!log.account.IsEmpty()) {
        afx::ShowMessageBox(m_hWnd, log.account.WarningText(), kSetupBoxCaption,
                            MB_OK | MB_ICONWARNING);
    }
    return true;
}

bool Dlg_Setup::ProtectInstallationFolder(InstallLog& log) {
    // A folder that cannot be made shows in the copy, which names it.
    if (!log.journal.CreateFolder(m_strInstallPath)) return true;
    // Created afresh or taken over: from here on only administrators may
    // change what the hosts will load from it.
    if (ProtectInstallFolder(m_strInstallPath) != FolderProtection::Failed) return true;
    const DWORD error = GetLastError();
    log.journal.Rollback();
    afx::ShowMessageBox(m_hWnd,
                        afx::FormatUiText(kProtectionFailedFormat, {m_strInstallPath, error}),
                        kSetupBoxCaption, MB_OK);
    CDialog::OnCancel();
    return false;
}

void Dlg_Setup::SetUpUninstall(InstallLog& log) {
    const CString uninstaller = JoinPath(m_strInstallPath, kUninstallerName);
    if (!CopyFileA(afx::GetModulePath(), uninstaller, FALSE)) {
        log.account.Add(StepAccount::Kind::UninstallNotSetUp, uninstaller);
    }
    InstallRecord record = log.journal.Record(m_strInstallPath);
    record.version = FormatSetupVersion(g_nSetupVersion);
    // An earlier installation into this folder: what it created stays the
    // plug-in's to remove.
    InstallRecord earlier;
    if (ReadInstallRecord(m_strInstallPath, &earlier)) record.MergeEarlier(earlier);
    if (!WriteInstallRecord(record)) {
        log.account.Add(StepAccount::Kind::UninstallNotSetUp,
                        JoinPath(m_strInstallPath, kInstallRecordName));
    }
    unsigned long long bytes = FileSize(uninstaller);
    for (const InstallRecord::File& file : record.files) bytes += file.size;
    if (!WriteUninstallEntry({m_strInstallPath, record.version, bytes})) {
        log.account.Add(StepAccount::Kind::UninstallNotSetUp,
                        CString("HKEY_LOCAL_MACHINE\\") + kUninstallEntryKey);
    }
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
