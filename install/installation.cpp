#include "install/installation.h"

#include "deploy/host_deployment.h"
#include "deploy/package_copy.h"
#include "deploy/plugin_registration.h"
#include "framework/afx_msgbox.h"
#include "install/folder_protection.h"
#include "install/restart_precheck.h"
#include "install/uninstall_setup.h"
#include "install/user_stage_entry.h"
#include "journal/installed_now.h"
#include "journal/record_file.h"
#include "journal/recovery.h"
#include "record/served_places.h"
#include "run/product.h"
#include "system/file_ops.h"

namespace {

constexpr char kProtectionFailedFormat[] =
    "无法设置安装文件夹 %s 的访问权限（错误 %lu）。\n\n"
    "为防止其他用户替换插件文件，安装已停止，已创建的内容已撤销。";
constexpr char kKeptAsHostsOwnHeading[] =
    "以下文件由上次安装写入，但之后已被更改（例如CAD已自行更新），已作为CAD自己的文件保存在"
    "安装文件夹的 Kept 中，卸载时将放回原处：";
constexpr char kRestartFirstFormat[] =
    "计算机下次重新启动时，将删除或替换安装要写入的文件：\n%s\n\n"
    "请先重新启动计算机，再运行安装程序。本次安装未作任何更改。";
constexpr char kJournalFailedFormat[] =
    "无法在安装文件夹 %s 中写入安装日志（错误 %lu）。\n\n安装已停止，已创建的内容已撤销。";

}  // namespace

Installation::Installation(const InstallRequest& request, const MachineAtStart& machine,
                           ProgressSink& progress, RunLog& log, HWND owner)
    : m_request(request),
      m_machine(machine),
      m_progress(progress),
      m_owner(owner),
      m_install(log),
      m_earlier(machine.earlier, request.installFolder, m_install.journal, log) {
    m_install.unattended = request.unattended;
}

InstallResult Installation::Run() {
    if (RestartComesFirst()) return InstallResult::RestartFirst;
    m_earlier.TakeOver();
    if (!MakeFolders()) return InstallResult::Failed;
    if (!CopyPackageFiles(m_request.setupFolder, m_request.installFolder, m_progress, m_install,
                          m_request.servesOwnProfile)) {
        // The user has been told, or closed the dialog: nothing more may be
        // done, and nothing of the copy stays.
        m_install.journal.Rollback(
            FindServedPlaces(m_request.installFolder, nullptr, m_machine.hosts));
        return InstallResult::Aborted;
    }
    m_progress.StepIt();
    ServeHosts();
    Finish();
    if (!m_install.notDone.IsEmpty()) return InstallResult::Incomplete;
    return m_restartCompletes ? InstallResult::CompleteAtRestart : InstallResult::Complete;
}

bool Installation::RestartComesFirst() {
    const CString queued = QueuedForTheRestart(m_request, m_machine.hosts);
    if (queued.IsEmpty()) return false;
    m_install.log.Write(afx::UiText("queued for the next restart: ") + afx::UiText::System(queued));
    afx::ShowMessageBox(m_owner, afx::FormatUiText(kRestartFirstFormat, {queued}), kSetupBoxCaption,
                        MB_OK | MB_ICONWARNING);
    return true;
}

bool Installation::MakeFolders() {
    const CString& install = m_request.installFolder;
    m_install.journal.CreateFolderChain(m_request.chosenFolder);
    // Made by an earlier installation before its folders were protected:
    // the rights of the folder above may let users change it.
    if (m_request.protectChosenFolderAnew && !Protect(m_request.chosenFolder)) return false;
    // Created afresh or taken over: from here on only administrators may
    // change what the hosts will load from it. A folder that cannot be made
    // shows in the copy, which names it.
    if (m_install.journal.CreateFolder(install) && !Protect(install)) return false;
    // Without its folder there is nothing to journal.
    if (GetPathKind(install) == PathKind::Folder && !m_install.journal.MakeDurable(install)) {
        return RollBackAndTell(kJournalFailedFormat, install, GetLastError());
    }
    return true;
}

bool Installation::Protect(const CString& folder) {
    return ProtectForTheInstallation(folder, m_install.log) ||
           RollBackAndTell(kProtectionFailedFormat, folder, GetLastError());
}

void Installation::ServeHosts() {
    if (m_request.servesOwnProfile) {
        RegisterPlugin(m_machine.hosts, m_request.releases, m_request.installFolder, m_install);
    } else {
        m_install.log.Write("a service account: no profile of its own is served");
    }
    m_progress.StepIt();
    DeployToHosts(m_request.setupFolder, m_machine.hosts, m_request.releases,
                  m_request.installFolder, m_install);
    m_progress.StepIt();
}

void Installation::Finish() {
    ServedPlaces places = FindServedPlaces(m_request.installFolder, nullptr, m_machine.hosts);
    const bool stageWritten = WriteUserStage(m_request.installFolder, m_install);
    const UninstallSetUp uninstall = SetUpUninstall(
        m_request.installFolder, m_machine.earlier.EntryFolder(), m_earlier,
        ReachOnThisMachine(places, m_machine.hosts, m_request.servesOwnProfile), m_install);
    if (uninstall.entered && stageWritten) {
        EnterUserStage(m_request, m_machine.hosts, uninstall.servesUsersAgain, m_install);
    }
    // What the earlier installations had stays whole while this one cannot
    // be uninstalled: its record and uninstaller are then the only ones.
    if (uninstall.uninstallable) {
        m_earlier.RemoveNoLongerInstalledAfterCommit();
        m_earlier.ClearElsewhereAfterCommit();
    }
    m_install.journal.Commit();
    places.AddEarlierInstallFolder(m_earlier.Elsewhere().installFolder);
    const FinishedWork finished = m_install.journal.Finish(places);
    m_restartCompletes = finished.atNextRestart;
    if (!finished.notDone.empty()) {
        KeepUnfinishedRecorded(m_request.installFolder, finished.notDone, places, m_install.log);
        for (const JournalLine& line : finished.notDone) {
            m_install.notDone.Add(StepsNotDone::Kind::NotRemoved, line.path);
        }
    }
    DropEntriesOfMissingPrograms(m_install.log);
}

afx::UiText Installation::Notice() const {
    afx::UiText text;
    for (const CString& path : m_install.journal.KeptAsHostsOwn()) {
        if (text.IsEmpty()) text = afx::UiText(kKeptAsHostsOwnHeading);
        text += "\n" + afx::UiText::System(path);
    }
    return text;
}

bool Installation::RollBackAndTell(const char* format, const CString& what, DWORD error) {
    m_install.journal.Rollback(FindServedPlaces(m_request.installFolder, nullptr, m_machine.hosts));
    afx::ShowMessageBox(m_owner, afx::FormatUiText(format, {what, error}), kSetupBoxCaption, MB_OK);
    return false;
}
