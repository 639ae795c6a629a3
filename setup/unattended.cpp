#include "setup/unattended.h"

#include "deploy/package_contents.h"
#include "deploy/progress_sink.h"
#include "hosts/found_hosts.h"
#include "hosts/running_host.h"
#include "install/install_checks.h"
#include "install/installation.h"
#include "run/product.h"
#include "run/run_log.h"
#include "setup/release_choice.h"
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

}  // namespace

ReleaseSelection ChooseAndLogReleases(const CommandLine& commandLine, const FoundHosts& registry,
                                      const ReleaseSelection& preset, RunLog& log) {
    const ReleaseChoice choice =
        ChooseReleases(OfferedReleases(registry), preset,
                       commandLine.hasComponents ? &commandLine.years : nullptr);
    for (const int year : choice.passedOver) {
        log.Write(
            afx::FormatUiText("release %d is not found on this machine: passed over", {year}));
    }
    for (const HostRelease release : choice.chosen.Releases()) {
        log.Write(afx::FormatUiText("release chosen: %d", {HostReleaseYear(release)}));
    }
    return choice.chosen;
}

int RunUnattendedInstall(const CommandLine& commandLine, FoundHosts& registry, RunLog& log) {
    CString chosen = commandLine.hasFolder ? commandLine.folder : PreviouslyChosenFolder();
    if (chosen.IsEmpty()) chosen = kDefaultChosenFolder;
    // The same rules as the dialog's folder text.
    if (!IsAbsolutePath(chosen)) {
        return Refuse(log, exit_code::kBadCommandLine,
                      afx::UiText("not an absolute folder: ") + afx::UiText::System(chosen));
    }
    const InstallRequest request = MakeInstallRequest(
        chosen, ChooseAndLogReleases(commandLine, registry, OfferedReleases(registry), log));
    return InstallUnattended(request, commandLine.mode, registry, log);
}

int InstallUnattended(InstallRequest request, RunMode mode, FoundHosts& registry, RunLog& log) {
    if (IsHostRunning()) {
        return Refuse(log, exit_code::kBusy, "a host is running: nothing was changed");
    }
    request.unattended = true;
    log.Write(afx::UiText("installation folder: ") + afx::UiText::System(request.installFolder));
    if (!request.releases.Any()) return Refuse(log, exit_code::kFailed, "no release to serve");
    std::vector<CString> missing;
    switch (CheckPackage(request, &missing)) {
        case PackageCheck::Complete:
            break;
        case PackageCheck::Missing:
            return Refuse(log, exit_code::kFailed, "no package beside the program");
        case PackageCheck::Incomplete:
            return Refuse(log, exit_code::kFailed, IncompletePackageText(missing));
        case PackageCheck::KeptDamaged:
            return Refuse(log, exit_code::kFailed, KeptPackageLogText(missing));
    }
    const CString linked = LinkedFolderOf(request.chosenFolder, request.installFolder);
    if (!linked.IsEmpty()) {
        return Refuse(
            log, exit_code::kBadCommandLine,
            afx::UiText("a link, junction or mount point: ") + afx::UiText::System(linked));
    }
    // Nobody can be asked: only a folder that only administrators can
    // change is installed into.
    const std::vector<UnsafeFolder> unsafe = FindUnsafeChosenFolders(
        request.chosenFolder, request.installFolder, &request.protectChosenFolderAnew);
    if (!unsafe.empty()) {
        return Refuse(log, exit_code::kFailed,
                      UnsafeFoldersLogText(unsafe) + ": nothing was changed");
    }

    if (mode == RunMode::Silent) {
        Dlg_Setup dialog(nullptr, &log);
        dialog.RunShowingProgressOnly(request);
        return dialog.ExitCode();
    }
    NoProgress progress;
    Installation installation(request, registry, progress, log, nullptr);
    const InstallResult result = installation.Run();
    if (result == InstallResult::Incomplete) log.Write(installation.NotDone().WarningText());
    return ExitCodeOf(result, mode);
}
