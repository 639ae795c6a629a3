#include "setup/unattended.h"

#include <algorithm>

#include "deploy/package_contents.h"
#include "deploy/progress_sink.h"
#include "framework/afx_app_name.h"
#include "hosts/host_registry.h"
#include "hosts/running_host.h"
#include "lifecycle/product.h"
#include "lifecycle/run_account.h"
#include "lifecycle/run_log.h"
#include "setup/install_checks.h"
#include "setup/installation.h"
#include "setup/setup_dialog.h"
#include "text/path_text.h"

namespace {

// An installation nobody watches steps no bar.
class NoProgress : public ProgressSink {
public:
    void StepIt() override {}
};

int Refuse(RunLog& log, int code, const afx::UiText& why) {
    log.Write(why);
    return code;
}

// The releases to serve: those named that this machine has, else every
// release the dialog would offer ticked.
std::array<bool, kHostReleaseCount> ChooseReleases(const CommandLine& commandLine,
                                                   const HostInstallRegistry& registry,
                                                   RunLog& log) {
    std::array<bool, kHostReleaseCount> use{};
    for (const HostRelease release : kHostReleases) {
        use[HostReleaseIndex(release)] =
            !commandLine.hasComponents && IsReleaseOffered(registry, release);
    }
    for (const int year : commandLine.years) {
        HostRelease release;
        if (!HostReleaseFromYear(year, &release)) continue;
        if (IsReleaseOffered(registry, release)) {
            use[HostReleaseIndex(release)] = true;
        } else {
            log.Write(
                afx::FormatUiText("release %d is not found on this machine: passed over", {year}));
        }
    }
    for (const HostRelease release : kHostReleases) {
        if (use[HostReleaseIndex(release)]) {
            log.Write(afx::FormatUiText("release chosen: %d", {HostReleaseYear(release)}));
        }
    }
    return use;
}

}  // namespace

int RunUnattendedInstall(const CommandLine& commandLine, HostInstallRegistry& registry,
                         RunLog& log) {
    if (IsHostRunning()) {
        return Refuse(log, exit_code::kBusy, "a host is running: nothing was changed");
    }
    CString chosen = commandLine.hasFolder ? commandLine.folder : PreviouslyChosenFolder();
    if (chosen.IsEmpty()) chosen = kDefaultChosenFolder;
    // The same rules as the dialog's folder text.
    if (!IsAbsolutePath(chosen)) {
        return Refuse(log, exit_code::kBadCommandLine,
                      afx::UiText("not an absolute folder: ") + afx::UiText::System(chosen));
    }
    StripAnyTrailingBackslash(chosen);
    InstallRequest request;
    request.setupFolder = ParentFolder(afx::GetModulePath());
    request.chosenFolder = chosen;
    request.installFolder = chosen + kInstallSubFolder;
    log.Write(afx::UiText("installation folder: ") + afx::UiText::System(request.installFolder));
    request.releases = ChooseReleases(commandLine, registry, log);
    if (std::find(request.releases.begin(), request.releases.end(), true) ==
        request.releases.end()) {
        return Refuse(log, exit_code::kFailed, "no release to serve");
    }
    std::vector<CString> missing;
    switch (CheckPackage(request.releases, &missing)) {
        case PackageCheck::Complete:
            break;
        case PackageCheck::Missing:
            return Refuse(log, exit_code::kFailed, "no package beside the program");
        case PackageCheck::Incomplete:
            return Refuse(log, exit_code::kFailed, IncompletePackageText(missing));
    }
    const CString linked = LinkedFolderOf(request.chosenFolder, request.installFolder);
    if (!linked.IsEmpty()) {
        return Refuse(
            log, exit_code::kBadCommandLine,
            afx::UiText("a link, junction or mount point: ") + afx::UiText::System(linked));
    }
    const RunAccount account = CurrentAccount();
    request.servesOwnProfile = !IsServiceAccountSid(account.sid);

    if (commandLine.mode == RunMode::Silent) {
        Dlg_Setup dialog(nullptr, &log);
        dialog.RunUnattended(request);
        return dialog.ExitCode();
    }
    NoProgress progress;
    Installation installation(request, registry, progress, log, nullptr);
    switch (installation.Run()) {
        case InstallResult::Complete:
            return exit_code::kSuccess;
        case InstallResult::Incomplete:
            log.Write(installation.Account().WarningText());
            return exit_code::kFailed;
        case InstallResult::Aborted:
        case InstallResult::Failed:
            break;
    }
    return exit_code::kFailed;
}
