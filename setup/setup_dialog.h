// The setup dialog (template 141): product title, release check boxes,
// installation folder, and the install command. It runs in one of three
// modes: the installation the user chooses, a modify of the installation
// (its folder fixed, from the package it keeps), or only the progress of an
// installation chosen already.
#pragma once

#include "framework/afx_controls.h"
#include "framework/afx_dialog.h"
#include "framework/afx_gdi.h"
#include "framework/afx_string.h"
#include "hosts/host_release.h"
#include "install/check_presenters.h"
#include "install/install_request.h"
#include "install/machine_at_start.h"
#include "resources/resource.h"
#include "run/run_log.h"
#include "setup/dialog_scale.h"

class Dlg_Setup : public CDialog {
public:
    enum { IDD = IDD_SETUP };

    // The installation the user chooses: in the folder the earlier
    // installation went to (else the default one), every release offered
    // ticked. `machine`: what the run found; `log` takes the run's events
    // (none: they go nowhere).
    explicit Dlg_Setup(const MachineAtStart& machine, RunLog* log = nullptr,
                       CWnd* pParent = nullptr);
    ~Dlg_Setup() override = default;

    CBrush m_brushBack;
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
    // The install command: the checks before an installation
    // (install/install_checks.h, in boxes over the dialog), the installation
    // and the completion layout.
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
    enum class Mode { Choose, Modify, ProgressOnly };
    // What each mode lets the user do; indexed like Mode.
    struct ModeRules {
        bool folderFixed;      // the folder is given: the edit box and browse button are disabled
        bool installsAtOnce;   // no input at all: the installation runs once the dialog shows
        PackageSource source;  // where the install command takes the package from
    };
    static const ModeRules kModes[];
    const ModeRules& Rules() const { return kModes[static_cast<int>(m_mode)]; }
    // The mode, the folder shown and the releases ticked (of those offered)
    // when the dialog starts.
    void Start(Mode mode, const CString& folder, const ReleaseSelection& ticked);

    void ShowProgressLayout();
    void ShowItem(int id, bool show);

    // Per release, indexed like HostRelease: its check box, its selection
    // flag and its button. Every place that handles the releases loops over it.
    struct ReleaseRow {
        int id;
        int Dlg_Setup::*flag;
        CButton Dlg_Setup::*button;
    };
    static const ReleaseRow kReleaseRows[kHostReleaseCount];
    // The check boxes as one selection, and back: the only places that read
    // or set the flags.
    ReleaseSelection TickedReleases() const;
    void Tick(const ReleaseSelection& releases);

    CButton m_btn2026;
    CButton m_btn2025;
    CButton m_btn2024;
    CButton m_btn2023;
    int m_bRelease2023 = 0;
    int m_bRelease2024 = 0;
    int m_bRelease2025 = 0;
    int m_bRelease2026 = 0;

    const MachineAtStart& m_machine;
    Mode m_mode = Mode::Choose;
    CString m_startFolder;
    ReleaseSelection m_startTicks;
    const InstallRequest* m_pProgressOnly = nullptr;  // the installation of ProgressOnly
    DialogScale m_scale;
    // The installation runs: boxes are up inside it, input is not for it.
    bool m_bInstalling = false;
    // The user closed the dialog while the installation ran.
    bool m_bCancelRequested = false;
    // Closed without an installation, unless an installation says otherwise.
    int m_nExitCode;
    RunLog m_unopenedLog;  // the run's log when none is given: it writes nothing
    RunLog& m_log;
    BoxedChecks m_checks;
};
