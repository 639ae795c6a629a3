// The setup dialog (template 141): product title, release check boxes,
// installation folder, and the install command.
#pragma once

#include "framework/afx_controls.h"
#include "framework/afx_dialog.h"
#include "framework/afx_gdi.h"
#include "framework/afx_string.h"
#include "hosts/host_release.h"
#include "resources/resource.h"
#include "run/run_log.h"

struct InstallRequest;
class RunLog;

class Dlg_Setup : public CDialog {
public:
    enum { IDD = IDD_SETUP };
    // The pictures come at 100 %, 150 % and 200 %.
    static constexpr int kPictureScales = 3;

    // `log` takes the run's events; none: they go nowhere.
    explicit Dlg_Setup(CWnd* pParent = nullptr, RunLog* log = nullptr);
    ~Dlg_Setup() override = default;

    CBrush m_brushBack;
    CButton m_btn2026;
    CButton m_btn2025;
    CButton m_btn2024;
    CButton m_btn2023;
    int m_bRelease2023;
    int m_bRelease2024;
    int m_bRelease2025;
    int m_bRelease2026;
    CString m_strTitle;
    CString m_strEdition;
    CProgressCtrl m_progress;
    CString m_strInstallPath;

    // Shows only the progress of an installation that was chosen already
    // (an unattended /SILENT run, or a repair): no input is taken, nothing
    // is asked, and the dialog ends with the installation.
    INT_PTR RunShowingProgressOnly(const InstallRequest& request);
    // Before DoModal, for Uninstall.exe /MODIFY: the installation in
    // `chosenFolder`, which is fixed (the edit box and the browse button
    // disabled), from the package it keeps, with `ticked` ticked (the
    // releases installed). A release ticked anew is served, one unticked
    // removed.
    void ModifyInstallation(const CString& chosenFolder, const ReleaseSelection& ticked);
    // The run's exit code (run/run_contract.h) once the dialog ended.
    int ExitCode() const { return m_nExitCode; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // While the installation runs, OK does nothing and closing the dialog
    // only asks the run to stop: a copy-failure box then counts as Abort,
    // and the run undoes its copy before the dialog ends.
    void OnOK() override;
    void OnCancel() override;

    // Black text on the light green background; the title, the edition
    // label and the note in their own fonts and colours.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // The dialog moved to a display of another scale: fonts and pictures for it.
    void OnDpiChanged(UINT dpi);
    void OnReleaseClicked();
    void OnBrowse();
    // The install command: its checks (install/install_command.h), the
    // installation and the completion layout.
    void OnInstall();
    // The installation with the progress bar; false when it stopped and the
    // dialog is ending, with everything undone.
    bool DoInstall(const InstallRequest& request);
    void OnUnattendedInstall();

    // Enables the install button while at least one release is ticked.
    void UpdateInstallButton();
    // The result in place of the choices; the dialog shortened to fit.
    void ShowCompletionLayout();

    DECLARE_MESSAGE_MAP()

private:
    void ShowProgressLayout();
    bool IsUnattended() const { return m_pUnattended != nullptr; }

    // Per release, indexed like HostRelease: its check box, its selection
    // flag and its button. Every place that handles the releases loops over it.
    struct ReleaseRow {
        int id;
        int Dlg_Setup::*flag;
        CButton Dlg_Setup::*button;
    };
    static const ReleaseRow kReleaseRows[kHostReleaseCount];

    // The selection flags as the installation takes them.
    ReleaseSelection TickedReleases() const;
    void ShowItem(int id, bool show);

    // The fonts at the DPI (their heights are designed at 96 DPI) and each
    // picture at the largest of its scales that the DPI reaches, so that it
    // fills its place in the dialog, which grows with the DPI, and is never
    // cut. The dialog is redrawn.
    void ApplyDpi(UINT dpi);

    // Each picture at 100 %, 150 % and 200 %: loaded when first shown, kept
    // while the dialog may show them. The template shows them at 100 %.
    CBitmap m_logoBitmaps[kPictureScales];
    CBitmap m_menuBitmaps[kPictureScales];
    int m_pictureScale = 0;

    // Made once per dialog, so that no colour request leaks a font and the
    // controls can draw with them for as long as the dialog exists.
    CFont m_fontTitle;
    CFont m_fontLabel;
    // The installation runs: boxes are up inside it, input is not for it.
    bool m_bInstalling = false;
    // The user closed the dialog while the installation ran.
    bool m_bCancelRequested = false;
    // Closed without an installation, unless an installation says otherwise.
    int m_nExitCode;
    RunLog m_unopenedLog;  // the run's log when none is given: it writes nothing
    RunLog& m_log;
    const InstallRequest* m_pUnattended = nullptr;
    // A modify: the installation's folder, whatever the edit box says, and
    // the releases ticked at the start.
    bool m_bModify = false;
    CString m_strFixedFolder;
    ReleaseSelection m_modifyTicks;
};
