#include "install/install_request.h"

#include "framework/afx_app_name.h"
#include "run/product.h"
#include "run/running_account.h"
#include "text/path_text.h"

InstallRequest MakeInstallRequest(CString chosenFolder, const ReleaseSelection& releases,
                                  PackageSource source) {
    // One real backslash character goes; a double-byte character whose
    // trail byte is 0x5C stays whole.
    StripAnyTrailingBackslash(chosenFolder);
    InstallRequest request;
    request.source = source;
    request.chosenFolder = chosenFolder;
    request.installFolder = JoinPath(chosenFolder, kInstallFolderName);
    request.setupFolder = source == PackageSource::KeptByInstallation
                              ? request.installFolder
                              : ParentFolder(afx::GetModulePath());
    request.releases = releases;
    request.servesOwnProfile = !IsServiceAccountSid(CurrentAccount().sid);
    return request;
}

int ExitCodeOf(InstallResult result, RunMode mode) {
    switch (result) {
        case InstallResult::Complete:
            return exit_code::kSuccess;
        case InstallResult::CompleteAtRestart:
            return exit_code::kRestartRequired;
        case InstallResult::Aborted:
            return mode == RunMode::Interactive ? exit_code::kUserCancelled : exit_code::kFailed;
        case InstallResult::RestartFirst:
            return exit_code::kRestartFirst;
        case InstallResult::Incomplete:
        case InstallResult::Failed:
            break;
    }
    return exit_code::kFailed;
}
