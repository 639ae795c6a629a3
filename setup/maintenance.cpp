#include "setup/maintenance.h"

#include <vector>

#include "framework/afx_msgbox.h"
#include "hosts/found_hosts.h"
#include "install/install_checks.h"
#include "install/install_command.h"
#include "install/installation.h"
#include "record/record_store.h"
#include "run/product.h"
#include "run/run_log.h"
#include "setup/release_choice.h"
#include "setup/setup_dialog.h"
#include "setup/unattended.h"
#include "text/path_text.h"

namespace {

constexpr char kNotInstalledFormat[] =
    "%s 中的T-批打印软件不是本机现在的安装，或找不到它的安装记录，无法修复或更改。";
constexpr char kNoReleaseText[] = "本机上找不到安装了T-批打印软件的CAD版本，没有可修复的内容。";
constexpr char kRepairedText[] = "T-批打印软件已修复。";

}  // namespace

int RunRepairOrModify(const CommandLine& commandLine, FoundHosts& registry, RunLog& log) {
    const CString& installFolder = commandLine.secondPhaseFolder;
    const bool interactive = commandLine.mode == RunMode::Interactive;
    const bool modify = commandLine.task == UninstallerTask::Modify;
    log.Write(modify ? "modify the installation" : "repair the installation");
    // Only the installation Programs and Features names, as its record says.
    const CString chosen = PreviouslyChosenFolder();
    InstallRecord record;
    if (chosen.IsEmpty() || !IsSamePath(JoinPath(chosen, kInstallFolderName), installFolder) ||
        ReadInstallRecord(installFolder, &record) == RecordSource::None) {
        log.Write(afx::UiText("not the installation Programs and Features names, or no record: ") +
                  afx::UiText::System(installFolder));
        if (interactive) {
            afx::ShowMessageBox(nullptr, afx::FormatUiText(kNotInstalledFormat, {installFolder}),
                                kSetupBoxCaption, MB_OK | MB_ICONERROR);
        }
        return exit_code::kFailed;
    }
    // A repair serves what is installed; a modify starts from it.
    const ReleaseSelection releases =
        ChooseAndLogReleases(commandLine, registry, RecordedReleases(record), log);
    if (interactive && modify) {
        Dlg_Setup dialog(nullptr, &log);
        dialog.ModifyInstallation(chosen, releases);
        dialog.DoModal();
        return dialog.ExitCode();
    }
    if (!interactive) {
        return InstallUnattended(
            MakeInstallRequest(chosen, releases, PackageSource::KeptByInstallation),
            commandLine.mode, registry, log);
    }

    // A repair asks nothing: its checks' boxes, its progress, a final box.
    if (WarnOfRunningHostOnce(nullptr)) return exit_code::kBusy;
    if (!releases.Any()) {
        log.Write("no release to serve");
        afx::ShowMessageBox(nullptr, kNoReleaseText, kSetupBoxCaption, MB_OK | MB_ICONERROR);
        return exit_code::kFailed;
    }
    CString folderText = chosen;
    InstallRequest checked;
    if (CheckInstallCommand(nullptr, folderText, releases, PackageSource::KeptByInstallation,
                            &checked, log) != InstallCheck::Passed) {
        return exit_code::kFailed;
    }
    Dlg_Setup dialog(nullptr, &log);
    dialog.RunShowingProgressOnly(checked);
    if (dialog.ExitCode() == exit_code::kSuccess) {
        afx::ShowMessageBox(nullptr, kRepairedText, kSetupBoxCaption, MB_OK | MB_ICONINFORMATION);
    }
    return dialog.ExitCode();
}
