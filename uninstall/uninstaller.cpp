#include "uninstall/uninstaller.h"

#include <windows.h>

#include <string>

#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_app_name.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "framework/scoped_handles.h"
#include "hosts/found_hosts.h"
#include "hosts/running_host.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "removal/restart_queue.h"
#include "run/product.h"
#include "run/run_log.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "system/folder_security.h"
#include "text/path_text.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_summary.h"
#include "uninstall/user_profiles.h"

namespace {

constexpr char kConfirmText[] =
    "确定要卸载 T-批打印软件 吗？\n\n将删除安装时添加的文件和注册表项，您的设置文件会保留。";
constexpr char kNoRecordFormat[] =
    "在 %s 中找不到完整的安装记录，无法卸载。\n\n可能T-批打印软件已经卸载。";
constexpr char kReplacedFormat[] =
    "此卸载程序属于 %s 中已被替换的安装。\n\nT-批打印软件现在安装在 %s，"
    "请在“应用”或“程序和功能”中卸载它。";
constexpr char kCloseHostBeforeUninstallText[] = "请关闭CAD后再进行卸载 !";
constexpr char kRelaunchFailedFormat[] = "无法启动卸载程序（%s，错误 %lu）。";
constexpr char kTempFolderPrefix[] = "Torvex-uninstall-";
constexpr char kTempFolderFormat[] = "%s%s%lu-%d";

class Uninstaller {
public:
    Uninstaller(const UninstallRun& run, const FoundHosts& hosts, RunLog& log)
        : m_run(run), m_hosts(hosts), m_log(log) {}

    int RunFirstPhase();
    int RunSecondPhase();

private:
    bool IsSilent() const { return m_run.mode != RunMode::Interactive; }
    // The box to a person at the screen, answered by them; in a silent run
    // only the log, and `silentAnswer` as the answer. Logged either way.
    int ShowOrLog(const afx::UiText& text, UINT type, int silentAnswer = IDOK) {
        m_log.Write(afx::UiText("box: ") + text);
        if (IsSilent()) return silentAnswer;
        return afx::ShowMessageBox(nullptr, text, kSetupBoxCaption, type);
    }
    int RelaunchFailed(const char* what, DWORD error) {
        m_log.Result("start the uninstaller's second process:", what, false, error);
        ShowOrLog(afx::FormatUiText(kRelaunchFailedFormat, {what, error}), MB_OK);
        return exit_code::kFailed;
    }

    const UninstallRun& m_run;
    const FoundHosts& m_hosts;
    RunLog& m_log;
};

// A new folder below the temporary folder that carries the installation
// folder's protected permissions from the moment it exists.
bool CreateProtectedTempFolder(CString* folder) {
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        SetLastError(length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW);
        return false;
    }
    for (int attempt = 0;; ++attempt) {
        folder->Format(kTempFolderFormat, temp, kTempFolderPrefix, GetCurrentProcessId(), attempt);
        // Never one that is already there: somebody else may have made it.
        if (CreateFolderWith(*folder, NewFolderAccess::Protected)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
}

// The whole uninstall, in an order that a run killed at any moment leaves
// for the same command, or the next setup, to finish: marked first, and the
// record (its machine copy) gone last with the mark; the Active Setup entry
// before the stage it starts, and every profile, while the uninstaller and
// its record are still there; the Programs and Features entry before the
// uninstaller it names. `runningUninstaller` and `ownFolder` as for
// RemoveInstallation.
UninstallOutcome RemoveEverything(const InstallRecord& record, const CString& folder,
                                  const FoundHosts& hosts, const CString& runningUninstaller,
                                  const CString& ownFolder, RunLog& log) {
    const bool marked = WritePluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue, folder);
    log.Result("mark the uninstall under way HKEY_LOCAL_MACHINE\\", kPluginKey, marked,
               marked ? 0 : GetLastError());
    UninstallOutcome outcome;
    if (RemoveFromUserProfiles(folder, outcome, log)) {
        RemoveInstallation(record, FindServedPlaces(folder, &record, hosts), runningUninstaller,
                           ownFolder, outcome, log);
    }
    InstallRecord left;
    if (ReadInstallRecord(folder, &left) == RecordSource::None) {
        DeletePluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue);
        DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
    }
    return outcome;
}

bool Fail(HeldCopy* copy, const char* step) {
    copy->failedStep = step;
    copy->error = GetLastError();
    return false;
}

CString Quoted(const CString& text) {
    return "\"" + text + "\"";
}

}  // namespace

int Uninstaller::RunFirstPhase() {
    const CString self = afx::GetModulePath();
    const CString installFolder = ParentFolder(self);
    HeldCopy held;
    if (!MakeHeldCopy(self, &held)) return RelaunchFailed(held.failedStep, held.error);
    m_log.Result("protected temporary copy", held.path, true);
    const CString& copy = held.path;
    const CString& folder = held.folder;
    CString commandLine = Quoted(copy) + " /SECONDPHASE=" + Quoted(installFolder);
    if (m_run.mode == RunMode::VerySilent) commandLine += " /VERYSILENT";
    if (m_run.mode == RunMode::Silent) commandLine += " /SILENT";
    // The log's absolute path: the second process runs in another folder.
    if (m_log.IsOpen()) commandLine += " /LOG=" + Quoted(m_log.Path());
    commandLine += m_run.taskArguments;
    std::string writable = commandLine.str();
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(copy, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &process)) {
        return RelaunchFailed(copy, GetLastError());
    }
    const afx::ScopedKernelHandle processHandle(process.hProcess);
    CloseHandle(process.hThread);
    held.held.Reset();  // it runs: its image can no longer be swapped
    m_log.Result("second process started", copy, true);
    // Whoever started this process may have made the installation folder
    // its current folder, which would keep the folder from going.
    SetCurrentDirectoryA(folder);
    WaitForSingleObject(processHandle.Get(), INFINITE);
    DWORD code = exit_code::kFailed;
    if (!GetExitCodeProcess(processHandle.Get(), &code)) code = exit_code::kFailed;
    return static_cast<int>(code);
}

int Uninstaller::RunSecondPhase() {
    const CString& folder = m_run.secondPhaseFolder;
    // One installation per machine: an uninstaller left by one that was
    // replaced must not take what the current one relies on.
    const CString installed = ReadInstalledFolder();
    const ServedPlaces own(folder);
    if (own.IsValid() && !installed.IsEmpty() && !own.IsInstallFolder(installed)) {
        ShowOrLog(afx::FormatUiText(kReplacedFormat, {folder, installed}), MB_OK);
        return exit_code::kFailed;
    }
    InstallRecord record;
    const RecordSource source =
        IsAbsolutePath(folder) ? ReadInstallRecord(folder, &record) : RecordSource::None;
    if (source == RecordSource::None) {
        ShowOrLog(afx::FormatUiText(kNoRecordFormat, {folder}), MB_OK);
        return exit_code::kFailed;
    }
    if (source == RecordSource::File) {
        m_log.Write("the record's machine copy is missing or damaged; the record file is used");
    }
    if (ShowOrLog(kConfirmText, MB_YESNO | MB_DEFBUTTON2, IDYES) != IDYES) {
        return exit_code::kUserCancelled;
    }
    if (IsHostRunning()) {
        ShowOrLog(kCloseHostBeforeUninstallText, MB_OK);
        return exit_code::kBusy;
    }
    const UninstallOutcome outcome =
        RemoveEverything(record, folder, m_hosts, JoinPath(folder, kUninstallerName),
                         ParentFolder(afx::GetModulePath()), m_log);
    ShowOrLog(UninstallSummaryText(outcome), MB_OK);
    return UninstallExitCode(outcome);
}

bool MakeHeldCopy(const CString& program, HeldCopy* copy) {
    if (!CreateProtectedTempFolder(&copy->folder)) return Fail(copy, "temporary folder");
    copy->path = JoinPath(copy->folder, kUninstallerName);
    // A plain copy: the folder is new and only administrators may change
    // it, so there is nothing to keep aside or to refuse.
    if (!CopyFileA(program, copy->path, TRUE)) return Fail(copy, "copy");
    copy->held.Reset(CreateFileA(copy->path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!copy->held) return Fail(copy, "hold the copy");
    // Exactly the file that was written, nothing put there meanwhile.
    if (!SameContent(program, copy->path)) {
        SetLastError(ERROR_FILE_CORRUPT);
        return Fail(copy, "check the copy");
    }
    return true;
}

void FinishInterruptedUninstall(const CString& runningFor, const FoundHosts& hosts, RunLog& log) {
    CString folder;
    if (!ReadPluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue, &folder)) return;
    // The uninstaller of that folder finishes it itself, after its question.
    if (!runningFor.IsEmpty() && IsSamePlace(folder, runningFor)) return;
    log.Write(afx::UiText("an interrupted uninstall was found in ") + afx::UiText::System(folder));
    InstallRecord record;
    if (IsAbsolutePath(folder) && ReadInstallRecord(folder, &record) != RecordSource::None) {
        log.Write(UninstallSummaryText(
            RemoveEverything(record, folder, hosts, CString(), CString(), log)));
        return;
    }
    // Killed once its record had gone: nothing was left to do.
    DeletePluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue);
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
}

bool IsNamedAsUninstaller() {
    // The program's name is its file name without the extension.
    return afx::MbsICmp(afx::GetAppName() + ".exe", kUninstallerName) == 0;
}

int RunUninstaller(const UninstallRun& run, const FoundHosts& hosts, RunLog& log) {
    Uninstaller uninstaller(run, hosts, log);
    if (run.secondPhaseFolder.IsEmpty()) return uninstaller.RunFirstPhase();
    const int code = uninstaller.RunSecondPhase();
    RemoveTemporaryCopyAtRestart();
    return code;
}

void RemoveTemporaryCopyAtRestart() {
    // A copy of that name anywhere else is somebody's own file.
    const CString self = afx::GetModulePath();
    const CString folder = ParentFolder(self);
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    const CString madeFolderStart = CString(temp) + kTempFolderPrefix;
    if (length > 0 && length < MAX_PATH &&
        afx::MbsICmp(folder.Left(madeFolderStart.GetLength()), madeFolderStart) == 0) {
        // No place an installation writes: nothing will ask about them.
        const ServedPlaces nowhere{CString()};
        QueueDeletionAtRestart(self, nowhere);
        QueueDeletionAtRestart(folder, nowhere);
    }
}
