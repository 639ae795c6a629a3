#include "setup/wizard_app.h"

#include <optional>

#include "framework/afx_app_name.h"
#include "framework/afx_msgbox.h"
#include "hosts/host_discovery.h"
#include "install/machine_at_start.h"
#include "install/version_step.h"
#include "journal/recovery.h"
#include "record/served_places.h"
#include "removal/restart_queue.h"
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
#include "text/path_text.h"
#include "uninstall/uninstaller.h"
#include "verify/verification.h"

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one process-wide object.
CWizardApp theApp;

namespace {

constexpr char kAnotherRunText[] = "另一个安装程序正在运行，请稍后再试。";
constexpr char kBadCommandLineFormat[] = "命令行有误：%s\n\n%s";
constexpr char kLogRefusedFormat[] =
    "无法使用日志文件 %s，安装程序没有作任何更改。\n\n原因已写入 %s 。";

// Discovery, once, before any window: what it finds is passed down, and
// nothing refreshes it later.
FoundHosts Discover(RunLog& log) {
    std::vector<RefusedHostFolder> refused;
    FoundHosts found = DiscoverHostInstallations(&refused);
    for (const RefusedHostFolder& folder : refused) {
        log.Write(afx::UiText("not a host folder (") + afx::UiText::System(folder.reason) +
                  "), passed over: " + afx::UiText::System(folder.folder));
    }
    for (const HostRelease release : kHostReleases) {
        for (int i = 0; i < found.GetHostCount(release); ++i) {
            log.Write(afx::FormatUiText("host found: %d ", {HostReleaseYear(release)}) +
                      afx::UiText::System(found.GetHostFolder(release, i)) + " " +
                      afx::UiText::System(found.GetHostKey(release, i)));
        }
    }
    return found;
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
void RecoverInterrupted(const FoundHosts& hosts, RunLog& log) {
    const CString folder = InterruptedInstallationFolder();
    if (folder.IsEmpty()) return;
    RecoverInterruptedInstallation(FindServedPlaces(folder, nullptr, hosts), log);
}

// The command line as parsed, and how the run shows itself.
struct Invocation {
    bool uninstaller;
    CommandLine commandLine;
    bool parsed;
    CString error;  // why the command line was refused
    bool silent;
    const char* help;
};

Invocation ReadCommandLine() {
    Invocation invocation;
    invocation.uninstaller = IsNamedAsUninstaller();
    invocation.parsed = ParseCommandLine(
        ArgumentsOf(GetCommandLineA()),
        invocation.uninstaller ? CommandLineKind::Uninstaller : CommandLineKind::Setup,
        &invocation.commandLine, &invocation.error);
    // A silent switch anywhere on the line keeps every window away, even
    // from a line that is refused.
    invocation.silent = invocation.commandLine.mode != RunMode::Interactive;
    invocation.help = invocation.uninstaller ? kUninstallerCommandLineHelp : kSetupCommandLineHelp;
    return invocation;
}

// The exit code of a run that ends before it looks at the machine: a bad
// command line, a named log refused, or /?. None when the run goes on.
std::optional<int> EndBeforeTheMachine(const Invocation& invocation, const CString& logRefused,
                                       RunLog& log) {
    if (!invocation.parsed) {
        log.Write(afx::UiText("bad command line: ") + afx::UiText::System(invocation.error));
        if (!invocation.silent) {
            afx::ShowMessageBox(nullptr,
                                afx::FormatUiText(kBadCommandLineFormat,
                                                  {invocation.error, afx::UiText(invocation.help)}),
                                kSetupBoxCaption, MB_OK);
        }
    }
    if (!logRefused.IsEmpty()) {
        // Nothing has changed; this log is the default one, in place of the
        // log the command line named.
        log.Write(afx::UiText("log file refused, nothing was changed: ") +
                  afx::UiText::System(invocation.commandLine.logPath) + ": " +
                  afx::UiText::System(logRefused));
        if (invocation.parsed) {
            if (!invocation.silent) {
                afx::ShowMessageBox(nullptr,
                                    afx::FormatUiText(kLogRefusedFormat,
                                                      {invocation.commandLine.logPath, log.Path()}),
                                    kSetupBoxCaption, MB_OK | MB_ICONERROR);
            }
            return exit_code::kFailed;
        }
    }
    if (!invocation.parsed) return exit_code::kBadCommandLine;
    if (invocation.commandLine.help) {
        afx::ShowMessageBox(nullptr, invocation.help, kSetupBoxCaption, MB_OK);
        return exit_code::kSuccess;
    }
    return std::nullopt;
}

// The machine's one run: an interrupted run finished first, then the task
// (the uninstaller's second process: its uninstall, repair or modify; the
// setup: which version wins, then an unattended installation or the dialog).
int RunOnTheMachine(const Invocation& invocation, RunLog& log) {
    const CommandLine& commandLine = invocation.commandLine;
    MachineAtStart machine;
    machine.hosts = Discover(log);
    // A check of the program's own folder: nothing of a killed run is
    // finished or undone, nothing is taken over.
    if (commandLine.task == UninstallerTask::Verify) {
        return VerifyInstallation(ParentFolder(afx::GetModulePath()), machine.hosts, log);
    }
    // The memory of the restart's queue an earlier version kept for good.
    TakeOverEarlierRestartMemory();
    RecoverInterrupted(machine.hosts, log);
    const bool uninstall = invocation.uninstaller && commandLine.task == UninstallerTask::Uninstall;
    FinishInterruptedUninstall(uninstall ? commandLine.secondPhaseFolder : CString(), machine.hosts,
                               log);
    if (uninstall) {
        return RunUninstaller({commandLine.mode, commandLine.secondPhaseFolder, CString()},
                              machine.hosts, log);
    }
    // What the earlier installation left, read once, now that no run of it
    // is left half done.
    machine.earlier = EarlierRecords::Read();
    if (invocation.uninstaller) {
        const int code = RunRepairOrModify(commandLine, machine, log);
        RemoveTemporaryCopyAtRestart();
        return code;
    }
    // Which version wins, before this run changes anything. (Uninstall.exe
    // is a copy of the version installed: its repair and modify need none.)
    if (!AcceptVersionStep(machine.earlier, nullptr, commandLine.allowDowngrade, log)) {
        return exit_code::kDowngradeRefused;
    }
    if (invocation.silent) return RunUnattendedInstall(commandLine, machine, log);
    Dlg_Setup dialog(machine, &log);
    dialog.DoModal();
    return dialog.ExitCode();
}

}  // namespace

BOOL CWizardApp::InitInstance() {
    AfxEnableControlContainer();
    m_nExitCode = Run();
    return FALSE;
}

int CWizardApp::Run() {
    const Invocation invocation = ReadCommandLine();
    RunLog log;
    CString logRefused;
    if (!OpenRunLog(invocation.commandLine, invocation.silent, log, &logRefused))
        return exit_code::kFailed;
    LogRunStart(log, FormatSetupVersion(kSetupVersion));
    // No box is ever shown in the silent modes: each is logged and answered.
    SilentBoxes silentBoxes(log);
    std::optional<afx::ScopedMessageBoxResponder> silence;
    if (invocation.silent) silence.emplace(silentBoxes);

    if (const std::optional<int> code = EndBeforeTheMachine(invocation, logRefused, log)) {
        return LogExitCode(log, *code);
    }
    // The uninstaller's first process only starts the second and waits; the
    // second holds the machine's one run. A verification runs in the first.
    if (invocation.uninstaller && invocation.commandLine.secondPhaseFolder.IsEmpty() &&
        invocation.commandLine.task != UninstallerTask::Verify) {
        return LogExitCode(log, RunUninstaller({invocation.commandLine.mode, CString(),
                                                TaskArguments(invocation.commandLine)},
                                               FoundHosts(), log));
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
    return LogExitCode(log, RunOnTheMachine(invocation, log));
}
