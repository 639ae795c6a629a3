#include "install/install_checks.h"

#include "deploy/package_contents.h"
#include "hosts/running_host.h"
#include "install/folder_checks.h"
#include "install/package_check.h"
#include "text/path_text.h"

namespace {

Refusal Stop(CheckPresenter& presenter, const Refused& refused) {
    presenter.Refuse(refused);
    return refused.refusal;
}

Refusal CheckThePackage(const InstallRequest& request, const EarlierRecords& earlier,
                        CheckPresenter& presenter) {
    std::vector<CString> missing;
    switch (CheckPackage(request, earlier, &missing)) {
        case PackageCheck::Complete:
            return Refusal::None;
        case PackageCheck::Missing:
            return Stop(presenter, {Refusal::NoPackage});
        case PackageCheck::Incomplete:
            return Stop(presenter, {Refusal::IncompletePackage, CString(), missing});
        case PackageCheck::KeptDamaged:
            break;
    }
    return Stop(presenter, {Refusal::KeptPackageDamaged, CString(), missing});
}

// Only a folder that only administrators can change is installed into, or
// one a person chose all the same, having been told.
Refusal CheckWhoMayChange(InstallRequest& request, const EarlierRecords& earlier,
                          CheckPresenter& presenter) {
    const std::vector<UnsafeFolder> unsafe = FindUnsafeChosenFolders(
        request.chosenFolder, request.installFolder, earlier, &request.protectChosenFolderAnew);
    if (unsafe.empty()) return Refusal::None;
    if (!presenter.MayAsk()) return Stop(presenter, {Refusal::UnsafeFolders, {}, {}, unsafe});
    return presenter.InstallThereAllTheSame(unsafe, request.installFolder) ? Refusal::None
                                                                           : Refusal::Declined;
}

}  // namespace

Refusal CheckBeforeInstalling(const InstallChoice& choice, const EarlierRecords& earlier,
                              CheckPresenter& presenter, InstallRequest* request) {
    if (presenter.LooksForRunningHost() && IsHostRunning()) {
        return Stop(presenter, {Refusal::HostRunning});
    }
    // The program runs elevated, in whatever folder it was started from: a
    // relative folder would land there, and the hosts could not find it.
    if (!IsAbsolutePath(choice.folderText)) {
        return Stop(presenter, {Refusal::InvalidFolder, choice.folderText});
    }
    *request = MakeInstallRequest(choice.folderText, choice.releases, choice.source);
    presenter.FolderChosen(*request);
    if (!request->releases.Any()) return Stop(presenter, {Refusal::NoRelease});
    const Refusal package = CheckThePackage(*request, earlier, presenter);
    if (package != Refusal::None) return package;
    const CString linked = LinkedFolderOf(request->chosenFolder, request->installFolder);
    if (!linked.IsEmpty()) return Stop(presenter, {Refusal::LinkedFolder, linked});
    return CheckWhoMayChange(*request, earlier, presenter);
}

int ExitCodeOfRefusal(Refusal refusal) {
    switch (refusal) {
        case Refusal::None:
            return exit_code::kSuccess;
        case Refusal::HostRunning:
            return exit_code::kBusy;
        case Refusal::InvalidFolder:
        case Refusal::LinkedFolder:
            return exit_code::kBadCommandLine;
        case Refusal::Declined:
            return exit_code::kUserCancelled;
        case Refusal::NoRelease:
        case Refusal::NoPackage:
        case Refusal::IncompletePackage:
        case Refusal::KeptPackageDamaged:
        case Refusal::UnsafeFolders:
            break;
    }
    return exit_code::kFailed;
}

afx::UiText RefusalLogText(const Refused& refused) {
    switch (refused.refusal) {
        case Refusal::HostRunning:
            return afx::UiText("a host is running: nothing was changed");
        case Refusal::InvalidFolder:
            return afx::UiText("not an absolute folder: ") + afx::UiText::System(refused.folder);
        case Refusal::NoRelease:
            return afx::UiText("no release to serve");
        case Refusal::NoPackage:
            return afx::UiText("no package beside the program");
        case Refusal::IncompletePackage:
            return IncompletePackageText(refused.files);
        case Refusal::KeptPackageDamaged:
            return KeptPackageLogText(refused.files);
        case Refusal::LinkedFolder:
            return afx::UiText("a link, junction or mount point: ") +
                   afx::UiText::System(refused.folder);
        case Refusal::UnsafeFolders:
            return UnsafeFoldersLogText(refused.unsafe) + ": nothing was changed";
        case Refusal::None:
        case Refusal::Declined:
            break;
    }
    return afx::UiText();
}
