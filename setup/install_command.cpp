// The install command of the setup dialog: the install button 1022.
#include "setup/setup_dialog.h"

void Dlg_Setup::OnInstall() {}
