#include "setup/wizard_app.h"

#include <optional>

#include "framework/afx_msgbox.h"
#include "hosts/host_discovery.h"
#include "install/install_checks.h"
#include "journal/recovery.h"
#include "record/served_places.h"
#include "resources/resource.h"
#include "run/product.h"
#include "run/run_contract.h"
#include "run/run_log.h"
#include "run/silent_boxes.h"
#include "setup/command_line.h"
#include "setup/maintenance.h"
#include "setup/setup_dialog.h"
#include "setup/setup_title.h"
#include "setup/unattended.h"
#include "system/only_run.h"
#include "uninstall/uninstaller.h"

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The two process-wide objects, in this order: the record is built after the
// application object and destroyed before it.
CWizardApp theApp;
FoundHosts theHostRegistry;

namespace {

constexpr char kAnotherRunText[] = "另一个安装程序正在运行，请稍后再试。";
constexpr char kBadCommandLineFormat[] = "命令行有误：%s\n\n%s";
constexpr char kLogRefusedFormat[] =
    "无法使用日志文件 %s，安装程序没有作任何更改。\n\n原因已写入 %s 。";

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

// The run's log: the file the command line names, or for /LOG alone and
// in the silent modes, which always log, a new one in the temporary folder.
// A named log that is refused (its reason in *refused) gives way to a new
// one that can say so. False when no log that was asked for can be made.
bool OpenRunLog(const CommandLine& commandLine, bool silent, RunLog& log, CString* refused) {
    if (!commandLine.log && !silent) return true;
    if (!commandLine.logPath.IsEmpty() &&
        log.Open(commandLine.logPath, !commandLine.secondPhaseFolder.IsEmpty(), refused)) {
        return true;
    }
    return log.OpenNew(kSetupLogStem);
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
    // A silent switch anywhere on the line keeps every window away, even
    // from a line that is refused.
    const bool silent = commandLine.mode != RunMode::Interactive;
    const char* help = uninstaller ? kUninstallerCommandLineHelp : kSetupCommandLineHelp;

    RunLog log;
    CString logRefused;
    if (!OpenRunLog(commandLine, silent, log, &logRefused)) return exit_code::kFailed;
    LogRunStart(log, FormatSetupVersion(kSetupVersion));
    // No box is ever shown in the silent modes: each is logged and answered.
    SilentBoxes silentBoxes(log);
    std::optional<afx::ScopedMessageBoxResponder> silence;
    if (silent) silence.emplace(silentBoxes);

    if (!parsed) {
        log.Write(afx::UiText("bad command line: ") + afx::UiText::System(error));
        if (!silent) {
            afx::ShowMessageBox(
                nullptr, afx::FormatUiText(kBadCommandLineFormat, {error, afx::UiText(help)}),
                kSetupBoxCaption, MB_OK);
        }
    }
    if (!logRefused.IsEmpty()) {
        // Nothing has changed; this log is the default one, in place of the
        // log the command line named.
        log.Write(afx::UiText("log file refused, nothing was changed: ") +
                  afx::UiText::System(commandLine.logPath) + ": " +
                  afx::UiText::System(logRefused));
        if (parsed) {
            if (!silent) {
                afx::ShowMessageBox(
                    nullptr,
                    afx::FormatUiText(kLogRefusedFormat, {commandLine.logPath, log.Path()}),
                    kSetupBoxCaption, MB_OK | MB_ICONERROR);
            }
            return LogExitCode(log, exit_code::kFailed);
        }
    }
    if (!parsed) return LogExitCode(log, exit_code::kBadCommandLine);
    if (commandLine.help) {
        afx::ShowMessageBox(nullptr, help, kSetupBoxCaption, MB_OK);
        return LogExitCode(log, exit_code::kSuccess);
    }
    // The uninstaller's first process only starts the second and waits; the
    // second holds the machine's one run.
    if (uninstaller && commandLine.secondPhaseFolder.IsEmpty()) {
        return LogExitCode(log,
                           RunUninstaller({commandLine.mode, CString(), TaskArguments(commandLine)},
                                          theHostRegistry, log));
    }
    const OnlyRunClaim onlyRun = ClaimTheOnlyRun();
    if (!onlyRun) {
        const DWORD error = GetLastError();
        log.Result("claim the machine's one run",
                   onlyRun.IsPlainName() ? kOnlyRunMutexName : kOnlyRunNamespacedName, false,
                   error);
        afx::ShowMessageBox(nullptr, kAnotherRunText, kSetupBoxCaption, MB_OK);
        return LogExitCode(log, exit_code::kBusy);
    }
    Discover(log);
    RecoverInterrupted(log);
    const bool uninstall = uninstaller && commandLine.task == UninstallerTask::Uninstall;
    FinishInterruptedUninstall(uninstall ? commandLine.secondPhaseFolder : CString(),
                               theHostRegistry, log);
    if (uninstall) {
        return LogExitCode(
            log, RunUninstaller({commandLine.mode, commandLine.secondPhaseFolder, CString()},
                                theHostRegistry, log));
    }
    if (uninstaller) {
        const int code = RunRepairOrModify(commandLine, theHostRegistry, log);
        RemoveTemporaryCopyAtRestart();
        return LogExitCode(log, code);
    }
    // Which version wins, before this run changes anything. (Uninstall.exe
    // is a copy of the version installed: its repair and modify need none.)
    if (!AcceptVersionStep(nullptr, commandLine.allowDowngrade, log)) {
        return LogExitCode(log, exit_code::kDowngradeRefused);
    }
    if (silent) return LogExitCode(log, RunUnattendedInstall(commandLine, theHostRegistry, log));
    Dlg_Setup dialog(nullptr, &log);
    dialog.DoModal();
    return LogExitCode(log, dialog.ExitCode());
}
