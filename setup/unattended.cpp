#include "setup/unattended.h"

#include "deploy/progress_sink.h"
#include "install/check_presenters.h"
#include "install/installation.h"
#include "install/offered.h"
#include "run/run_log.h"
#include "setup/release_choice.h"
#include "setup/setup_dialog.h"

namespace {

// An installation nobody watches steps no bar.
class NoProgress : public ProgressSink {
public:
    void StepIt() override {}
};

}  // namespace

ReleaseSelection ChooseAndLogReleases(const CommandLine& commandLine, const FoundHosts& hosts,
                                      const ReleaseSelection& preset, RunLog& log) {
    const ReleaseChoice choice = ChooseReleases(
        OfferedReleases(hosts), preset, commandLine.hasComponents ? &commandLine.years : nullptr);
    for (const int year : choice.passedOver) {
        log.Write(
            afx::FormatUiText("release %d is not found on this machine: passed over", {year}));
    }
    for (const HostRelease release : choice.chosen.Releases()) {
        log.Write(afx::FormatUiText("release chosen: %d", {HostReleaseYear(release)}));
    }
    return choice.chosen;
}

int RunUnattendedInstall(const CommandLine& commandLine, const MachineAtStart& machine,
                         RunLog& log) {
    CString chosen =
        commandLine.hasFolder ? commandLine.folder : PreviouslyChosenFolder(machine.earlier);
    if (chosen.IsEmpty()) chosen = kDefaultChosenFolder;
    const ReleaseSelection releases =
        ChooseAndLogReleases(commandLine, machine.hosts, OfferedReleases(machine.hosts), log);
    return InstallUnattended({chosen, releases, PackageSource::BesideProgram}, commandLine.mode,
                             machine, log);
}

int InstallUnattended(const InstallChoice& choice, RunMode mode, const MachineAtStart& machine,
                      RunLog& log) {
    // Nobody can be asked: only a folder that only administrators can
    // change is installed into.
    LoggedChecks checks(log);
    InstallRequest request;
    const Refusal refusal = CheckBeforeInstalling(choice, machine.earlier, checks, &request);
    if (refusal != Refusal::None) return ExitCodeOfRefusal(refusal);
    request.unattended = true;
    if (mode == RunMode::Silent) {
        Dlg_Setup dialog(machine, &log);
        dialog.RunShowingProgressOnly(request);
        return dialog.ExitCode();
    }
    NoProgress progress;
    Installation installation(request, machine, progress, log, nullptr);
    const InstallResult result = installation.Run();
    if (result == InstallResult::Incomplete) log.Write(installation.NotDone().WarningText());
    return ExitCodeOf(result, mode);
}
