// The setup dialog (template 141): product title, release check boxes,
// installation folder, and the install command.
#pragma once

#include "framework/afx_controls.h"
#include "framework/afx_dialog.h"
#include "framework/afx_gdi.h"
#include "framework/afx_string.h"
#include "hosts/host_release.h"

#include <array>
#include "resources/resource.h"

class Dlg_Setup : public CDialog {
public:
    enum { IDD = IDD_SETUP };

    explicit Dlg_Setup(CWnd* pParent = nullptr);
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

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Black text on the light green background; the title, the edition
    // label and the note in their own fonts and colours.
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnReleaseClicked();
    void OnBrowse();
    // The install command (install_command.cpp): the running-host check,
    // the installation folder, the installation and the completion layout.
    void OnInstall();
    // Copies, registers and deploys with the progress bar; false when the
    // copy failed and the dialog is ending.
    bool DoInstall();

    // Enables the install button while at least one release is ticked.
    void UpdateInstallButton();
    // The result in place of the choices; the dialog shortened to fit.
    void ShowCompletionLayout();

    DECLARE_MESSAGE_MAP()

private:
    // Per release, indexed like HostRelease: its check box, its selection
    // flag and its button. Every place that handles the releases loops over it.
    struct ReleaseRow {
        int id;
        int Dlg_Setup::*flag;
        CButton Dlg_Setup::*button;
    };
    static const ReleaseRow kReleaseRows[kHostReleaseCount];

    // The selection flags as the deployment takes them, in release order.
    std::array<bool, kHostReleaseCount> SelectedReleases() const;
    void ShowItem(int id, bool show);

    // Made once per dialog, so that no colour request leaks a font and the
    // controls can draw with them for as long as the dialog exists.
    CFont m_fontTitle;
    CFont m_fontLabel;
};
