#include "setup/wizard_app.h"

#include "hosts/host_discovery.h"
#include "resources/resource.h"
#include "setup/setup_dialog.h"
#include "uninstall/uninstaller.h"

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The two process-wide objects, in this order: the record is built after the
// application object and destroyed before it.
CWizardApp theApp;
HostInstallRegistry theHostRegistry;

BOOL CWizardApp::InitInstance() {
    AfxEnableControlContainer();
    // A copy of this program named as the uninstaller removes the plug-in instead.
    if (RunAsUninstallerWhenNamedSo()) return FALSE;
    // Once, before any window: nothing refreshes the record later.
    DiscoverHostInstallations();
    Dlg_Setup dialog;
    dialog.DoModal();  // whatever the result, the run is over
    return FALSE;
}
