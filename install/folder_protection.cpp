#include "install/folder_protection.h"

#include <windows.h>

#include "run/run_log.h"
#include "system/folder_security.h"

bool ProtectForTheInstallation(const CString& folder, RunLog& log) {
    switch (ProtectInstallFolder(folder)) {
        case FolderProtection::Applied:
            log.Result("protect folder", folder, true);
            return true;
        case FolderProtection::VolumeKeepsNoAcls:
            log.Write(afx::UiText("the volume keeps no permissions: the installation folder, its "
                                  "record and journal cannot be protected: ") +
                      afx::UiText::System(folder));
            return true;
        case FolderProtection::Failed:
            break;
    }
    const DWORD error = GetLastError();
    log.Result("protect folder", folder, false, error);
    SetLastError(error);
    return false;
}
