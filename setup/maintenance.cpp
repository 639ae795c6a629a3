#include "setup/maintenance.h"

#include "framework/afx_msgbox.h"
#include "install/check_presenters.h"
#include "install/install_checks.h"
#include "install/offered.h"
#include "record/record_store.h"
#include "run/product.h"
#include "run/product_version.h"
#include "run/run_log.h"
#include "setup/release_choice.h"
#include "setup/setup_dialog.h"
#include "setup/unattended.h"
#include "system/file_identity.h"
#include "text/path_text.h"

namespace {

constexpr char kNotInstalledFormat[] =
    "%s 中的T-批打印软件不是本机现在的安装，或找不到它的安装记录，无法修复或更改。";
constexpr char kRepairedText[] = "T-批打印软件已修复。";

// A repair at the screen: the checks in boxes, its progress, a final box.
int RepairShowingProgress(const InstallChoice& choice, const MachineAtStart& machine, RunLog& log) {
    BoxedChecks checks(log);
    InstallRequest request;
    const Refusal refusal = CheckBeforeInstalling(choice, machine.earlier, checks, &request);
    if (refusal != Refusal::None) return ExitCodeOfRefusal(refusal);
    Dlg_Setup dialog(machine, &log);
    dialog.RunShowingProgressOnly(request);
    if (dialog.ExitCode() == exit_code::kSuccess) {
        afx::ShowMessageBox(nullptr, kRepairedText, kSetupBoxCaption, MB_OK | MB_ICONINFORMATION);
    }
    return dialog.ExitCode();
}

}  // namespace

int RunRepairOrModify(const CommandLine& commandLine, const MachineAtStart& machine, RunLog& log) {
    const CString& installFolder = commandLine.secondPhaseFolder;
    const bool interactive = commandLine.mode == RunMode::Interactive;
    const bool modify = commandLine.task == UninstallerTask::Modify;
    log.Write(modify ? "modify the installation" : "repair the installation");
    // Only the installation Programs and Features names, as its record says.
    const CString chosen = PreviouslyChosenFolder(machine.earlier);
    InstallRecord record;
    // This program is the installation's own uninstaller, of its version,
    // unless the run that wrote it was undone before its commit just now.
    if (chosen.IsEmpty() || !IsSamePlace(JoinPath(chosen, kInstallFolderName), installFolder) ||
        machine.earlier.RecordOf(installFolder, &record) == RecordSource::None ||
        (!record.version.IsEmpty() && ParseSetupVersion(record.version) != kSetupVersion)) {
        log.Write(afx::UiText("not the installation Programs and Features names, of this "
                              "version, or no record: ") +
                  afx::UiText::System(installFolder));
        if (interactive) {
            afx::ShowMessageBox(nullptr, afx::FormatUiText(kNotInstalledFormat, {installFolder}),
                                kSetupBoxCaption, MB_OK | MB_ICONERROR);
        }
        return exit_code::kFailed;
    }
    // A repair serves what is installed; a modify starts from it.
    const ReleaseSelection releases =
        ChooseAndLogReleases(commandLine, machine.hosts, RecordedReleases(record), log);
    if (interactive && modify) {
        Dlg_Setup dialog(machine, &log);
        dialog.ModifyInstallation(chosen, releases);
        dialog.DoModal();
        return dialog.ExitCode();
    }
    const InstallChoice choice{chosen, releases, PackageSource::KeptByInstallation};
    if (!interactive) return InstallUnattended(choice, commandLine.mode, machine, log);
    return RepairShowingProgress(choice, machine, log);
}
