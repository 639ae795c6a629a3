#include "setup/wizard_app.h"

#include <optional>

#include "framework/afx_msgbox.h"
#include "hosts/host_discovery.h"
#include "lifecycle/product.h"
#include "lifecycle/recovery.h"
#include "lifecycle/run_contract.h"
#include "lifecycle/run_log.h"
#include "lifecycle/served_places.h"
#include "lifecycle/silent_boxes.h"
#include "resources/resource.h"
#include "setup/command_line.h"
#include "setup/setup_dialog.h"
#include "setup/setup_title.h"
#include "setup/unattended.h"
#include "system/single_instance.h"
#include "uninstall/uninstaller.h"

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The two process-wide objects, in this order: the record is built after the
// application object and destroyed before it.
CWizardApp theApp;
HostInstallRegistry theHostRegistry;

namespace {

constexpr char kAnotherRunText[] = "另一个安装程序正在运行，请稍后再试。";
constexpr char kBadCommandLineFormat[] = "命令行有误：%s\n\n%s";

// Discovery, once, before any window: nothing refreshes the record later.
void Discover(RunLog& log) {
    std::vector<RefusedHostFolder> refused;
    DiscoverHostInstallations(&refused);
    for (const RefusedHostFolder& folder : refused) {
        log.Write(afx::UiText("not a host folder (") + afx::UiText::System(folder.reason) +
                  "), passed over: " + afx::UiText::System(folder.folder));
    }
    for (const HostRelease release : kHostReleases) {
        for (int i = 0; i < theHostRegistry.GetHostCount(release); ++i) {
            log.Write(afx::FormatUiText("host found: %d ", {HostReleaseYear(release)}) +
                      afx::UiText::System(theHostRegistry.GetHostFolder(release, i)) + " " +
                      afx::UiText::System(theHostRegistry.GetHostKey(release, i)));
        }
    }
}

// An installation killed half way is finished or undone before anything else.
void RecoverInterrupted(RunLog& log) {
    const CString folder = InterruptedInstallationFolder();
    if (folder.IsEmpty()) return;
    RecoverInterruptedInstallation(FindServedPlaces(folder, nullptr, theHostRegistry), log);
}

}  // namespace

BOOL CWizardApp::InitInstance() {
    AfxEnableControlContainer();
    m_nExitCode = Run();
    return FALSE;
}

int CWizardApp::Run() {
    const bool uninstaller = IsNamedAsUninstaller();
    CommandLine commandLine;
    CString error;
    const bool parsed = ParseCommandLine(
        ArgumentsOf(GetCommandLineA()),
        uninstaller ? CommandLineKind::Uninstaller : CommandLineKind::Setup, &commandLine, &error);
    const bool silent = parsed && commandLine.mode != RunMode::Interactive;
    const char* help = uninstaller ? kUninstallerCommandLineHelp : kSetupCommandLineHelp;

    // The silent modes always log; without a path the log goes to the
    // temporary folder. A log asked for that cannot be made: nothing changes.
    RunLog log;
    if (parsed && (commandLine.log || silent)) {
        const bool opened =
            commandLine.logPath.IsEmpty()
                ? log.OpenNew(kSetupLogStem)
                : log.Open(commandLine.logPath, !commandLine.secondPhaseFolder.IsEmpty());
        if (!opened) return exit_code::kFailed;
    }
    LogRunStart(log, FormatSetupVersion(g_nSetupVersion));
    // No box is ever shown in the silent modes: each is logged and answered.
    SilentBoxes silentBoxes(log);
    std::optional<afx::ScopedMessageBoxResponder> silence;
    if (silent) silence.emplace(silentBoxes);

    if (!parsed) {
        log.Write(afx::UiText::System(error));
        if (commandLine.mode == RunMode::Interactive) {
            afx::ShowMessageBox(
                nullptr, afx::FormatUiText(kBadCommandLineFormat, {error, afx::UiText(help)}),
                kSetupBoxCaption, MB_OK);
        }
        return LogExitCode(log, exit_code::kBadCommandLine);
    }
    if (commandLine.help) {
        afx::ShowMessageBox(nullptr, help, kSetupBoxCaption, MB_OK);
        return LogExitCode(log, exit_code::kSuccess);
    }
    // The uninstaller's first process only starts the second and waits; the
    // second holds the machine's one run.
    if (uninstaller && commandLine.secondPhaseFolder.IsEmpty()) {
        return LogExitCode(log,
                           RunUninstaller({commandLine.mode, CString()}, theHostRegistry, log));
    }
    const afx::ScopedKernelHandle onlyRun = ClaimTheOnlyRun();
    if (!onlyRun) {
        afx::ShowMessageBox(nullptr, kAnotherRunText, kSetupBoxCaption, MB_OK);
        return LogExitCode(log, exit_code::kBusy);
    }
    Discover(log);
    RecoverInterrupted(log);
    if (uninstaller) {
        return LogExitCode(log, RunUninstaller({commandLine.mode, commandLine.secondPhaseFolder},
                                               theHostRegistry, log));
    }
    if (silent) return LogExitCode(log, RunUnattendedInstall(commandLine, theHostRegistry, log));
    Dlg_Setup dialog(nullptr, &log);
    dialog.DoModal();
    return LogExitCode(log, dialog.ExitCode());
}
