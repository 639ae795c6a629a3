#include "install/installation.h"

#include <algorithm>
#include <vector>

#include "deploy/host_deployment.h"
#include "deploy/package_copy.h"
#include "deploy/package_layout.h"
#include "deploy/plugin_registration.h"
#include "entries/active_setup.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_app_name.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "journal/installed_now.h"
#include "journal/pending_restart.h"
#include "journal/record_file.h"
#include "journal/recovery.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "resources/resource.h"
#include "run/product.h"
#include "run/product_version.h"
#include "run/running_account.h"
#include "system/app_data.h"
#include "system/file_ops.h"
#include "system/folder_security.h"
#include "text/path_text.h"

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

InstallRequest MakeInstallRequest(CString chosenFolder, const ReleaseSelection& releases,
                                  PackageSource source) {
    // One real backslash character goes; a double-byte character whose
    // trail byte is 0x5C stays whole.
    StripAnyTrailingBackslash(chosenFolder);
    InstallRequest request;
    request.source = source;
    request.chosenFolder = chosenFolder;
    request.installFolder = JoinPath(chosenFolder, kInstallFolderName);
    request.setupFolder = source == PackageSource::KeptByInstallation
                              ? request.installFolder
                              : ParentFolder(afx::GetModulePath());
    request.releases = releases;
    request.servesOwnProfile = !IsServiceAccountSid(CurrentAccount().sid);
    return request;
}

int ExitCodeOf(InstallResult result, RunMode mode) {
    switch (result) {
        case InstallResult::Complete:
            return exit_code::kSuccess;
        case InstallResult::Aborted:
            return mode == RunMode::Interactive ? exit_code::kUserCancelled : exit_code::kFailed;
        case InstallResult::RestartFirst:
            return exit_code::kRestartFirst;
        case InstallResult::Incomplete:
        case InstallResult::Failed:
            break;
    }
    return exit_code::kFailed;
}

Installation::Installation(const InstallRequest& request, FoundHosts& registry,
                           ProgressSink& progress, RunLog& log, HWND owner)
    : m_request(request),
      m_registry(registry),
      m_progress(progress),
      m_owner(owner),
      m_install(log),
      m_earlier(request.installFolder, m_install.journal, log) {
    m_install.unattended = request.unattended;
}

InstallResult Installation::Run() {
    // Before anything changes: a file written now that the restart then
    // deletes or replaces would leave an installation that says it is whole.
    const CString queued = QueuedForTheRestart();
    if (!queued.IsEmpty()) {
        m_install.log.Write(afx::UiText("queued for the next restart: ") +
                            afx::UiText::System(queued));
        afx::ShowMessageBox(m_owner, afx::FormatUiText(kRestartFirstFormat, {queued}),
                            kSetupBoxCaption, MB_OK | MB_ICONWARNING);
        return InstallResult::RestartFirst;
    }
    m_earlier.TakeOver();
    // The folder the user chose with every missing folder above it, then
    // the installation folder inside it.
    m_install.journal.CreateFolderChain(m_request.chosenFolder);
    // Made by an earlier installation before its folders were protected:
    // the rights of the folder above may let users change it.
    if (m_request.protectChosenFolderAnew && !Protect(m_request.chosenFolder)) {
        return InstallResult::Failed;
    }
    if (!MakeInstallationFolder()) return InstallResult::Failed;
    // Without its folder there is nothing to journal: the copy names the
    // folder that could not be made.
    if (GetPathKind(m_request.installFolder) == PathKind::Folder &&
        !m_install.journal.MakeDurable(m_request.installFolder)) {
        RollBackAndTell(kJournalFailedFormat, m_request.installFolder, GetLastError());
        return InstallResult::Failed;
    }

    if (!CopyPackageFiles(m_request.setupFolder, m_request.installFolder, m_progress, m_install,
                          m_request.servesOwnProfile)) {
        // The user has been told, or closed the dialog: nothing more may be
        // done, and nothing of the copy stays.
        m_install.journal.Rollback(FindServedPlaces(m_request.installFolder, nullptr, m_registry));
        return InstallResult::Aborted;
    }
    m_progress.StepIt();

    // Registration reads the installation folder from the record.
    m_registry.installFolder = m_request.installFolder;
    const ReleaseSelection& use = m_request.releases;
    if (m_request.servesOwnProfile) {
        RegisterPlugin(m_registry, use.use2023, use.use2024, use.use2025, use.use2026, m_install);
    } else {
        m_install.log.Write("a service account: no profile of its own is served");
    }
    m_progress.StepIt();
    DeployToHosts(m_request.setupFolder, m_registry, use.use2023, use.use2024, use.use2025,
                  use.use2026, m_install);
    m_progress.StepIt();

    ServedPlaces places = FindServedPlaces(m_request.installFolder, nullptr, m_registry);
    const bool stageWritten = WriteUserStage();
    if (SetUpUninstall(ReachOnThisMachine(places, m_registry, m_request.servesOwnProfile)) &&
        stageWritten) {
        EnterUserStage();
    }
    // What the earlier installations had stays whole while this one cannot
    // be uninstalled: its record and uninstaller are then the only ones.
    if (m_uninstallable) {
        m_earlier.RemoveNoLongerInstalledAfterCommit();
        m_earlier.ClearElsewhereAfterCommit();
    }
    m_install.journal.Commit();
    places.AddEarlierInstallFolder(m_earlier.Elsewhere().installFolder);
    m_install.journal.Finish(places);
    DropEntriesOfMissingPrograms(m_install.log);
    return m_install.notDone.IsEmpty() ? InstallResult::Complete : InstallResult::Incomplete;
}

CString Installation::QueuedForTheRestart() const {
    std::vector<CString> hostFiles;  // canonical
    for (const HostRelease release : m_request.releases.Releases()) {
        const CStringArray& folders = m_registry.hostFolders[HostReleaseIndex(release)];
        for (int i = 0; i < folders.GetSize(); ++i) {
            for (const CString& path : HostFilePaths(folders[i])) {
                CString canonical;
                if (CanonicalPath(path, &canonical)) hostFiles.push_back(canonical);
            }
        }
    }
    const CString appData = UserAppDataFolder();
    CString settings;
    if (m_request.servesOwnProfile && !appData.IsEmpty() &&
        CanonicalPath(JoinPath(JoinPath(appData, kSettingsSubfolder), kSettingsFile), &settings)) {
        hostFiles.push_back(settings);
    }
    const ServedPlaces own(m_request.installFolder);
    return RestartQueue().FirstOtherFor([&](const CString& path) {
        const ServedPlaces::Place place = own.PlaceOf(path);
        return place == ServedPlaces::Place::InstallFolder ||
               place == ServedPlaces::Place::KeptFiles ||
               std::find(hostFiles.begin(), hostFiles.end(), path) != hostFiles.end();
    });
}

afx::UiText Installation::Notice() const {
    afx::UiText text;
    for (const CString& path : m_install.journal.KeptAsHostsOwn()) {
        if (text.IsEmpty()) text = afx::UiText(kKeptAsHostsOwnHeading);
        text += "\n" + afx::UiText::System(path);
    }
    return text;
}

bool Installation::MakeInstallationFolder() {
    const CString& folder = m_request.installFolder;
    // A folder that cannot be made shows in the copy, which names it.
    if (!m_install.journal.CreateFolder(folder)) return true;
    // Created afresh or taken over: from here on only administrators may
    // change what the hosts will load from it.
    return Protect(folder);
}

bool Installation::Protect(const CString& folder) {
    switch (ProtectInstallFolder(folder)) {
        case FolderProtection::Applied:
            m_install.log.Result("protect folder", folder, true);
            return true;
        case FolderProtection::VolumeKeepsNoAcls:
            m_install.log.Write(
                afx::UiText("the volume keeps no permissions: the installation folder, its "
                            "record and journal cannot be protected: ") +
                afx::UiText::System(folder));
            return true;
        case FolderProtection::Failed:
            break;
    }
    const DWORD error = GetLastError();
    m_install.log.Result("protect folder", folder, false, error);
    return RollBackAndTell(kProtectionFailedFormat, folder, error);
}

bool Installation::RollBackAndTell(const char* format, const CString& what, DWORD error) {
    m_install.journal.Rollback(FindServedPlaces(m_request.installFolder, nullptr, m_registry));
    afx::ShowMessageBox(m_owner, afx::FormatUiText(format, {what, error}), kSetupBoxCaption, MB_OK);
    return false;
}

bool Installation::WriteUserStage() {
    // The stage travels inside this program.
    const CString stage = JoinPath(m_request.installFolder, kUserStageName);
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_USER_STAGE), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const bool written =
        bytes && m_install.journal.InstallData(stage, bytes, SizeofResource(nullptr, found));
    m_install.log.Result("per-user stage", stage, written, written ? 0 : GetLastError());
    if (!written) m_install.notDone.Add(StepsNotDone::Kind::UserStageNotSetUp, stage);
    return written;
}

bool Installation::OwnProfileMissing() const {
    for (const HostRelease release : kHostReleases) {
        if (m_request.releases.IsSelected(release) &&
            ProfileMissing(m_registry, HostReleaseYear(release))) {
            return true;
        }
    }
    return false;
}

void Installation::EnterUserStage() {
    const CString command =
        UserStageCommand(JoinPath(m_request.installFolder, kUserStageName), kStartedByActiveSetup);
    // Moved to another folder, another version or other hosts: every user
    // is served again, from this one.
    CString earlierCommand;
    CString earlierVersion;
    const bool entered = ReadActiveSetupEntry(&earlierCommand, &earlierVersion);
    const bool serveAgain =
        entered && (afx::MbsICmp(earlierCommand, command) != 0 || m_servesUsersAgain);
    const CString version = NextActiveSetupVersion(kSetupVersion, earlierVersion, serveAgain);
    const bool written = WriteActiveSetupEntry(command, version);
    m_install.log.Result("Active Setup entry HKEY_LOCAL_MACHINE\\", kActiveSetupKey, written,
                         written ? 0 : GetLastError());
    if (!written) {
        m_install.notDone.Add(StepsNotDone::Kind::UserStageNotSetUp,
                              CString("HKEY_LOCAL_MACHINE\\") + kActiveSetupKey);
        return;
    }
    // This account was served just now, unless it has no profile of its own;
    // a host it has not started yet is left to its next logon.
    if (!m_request.servesOwnProfile) {
        m_install.log.Write("a service account: no Active Setup stamp of its own");
        return;
    }
    if (OwnProfileMissing()) {
        m_install.log.Write(
            "a host profile of this account's is missing: not stamped, its next "
            "logon starts the per-user stage");
        return;
    }
    const bool stamped = StampActiveSetupDone(version);
    m_install.log.Result("served already: Active Setup stamp HKEY_CURRENT_USER\\", kActiveSetupKey,
                         stamped, stamped ? 0 : GetLastError());
}

bool Installation::SetUpUninstall(const ReachNow& reach) {
    const CString& folder = m_request.installFolder;
    // What the installation did, before its own uninstaller is written: the
    // uninstaller takes care of itself.
    InstallRecord record = m_install.journal.Record(folder);
    record.version = FormatSetupVersion(kSetupVersion);
    m_earlier.MergeInto(record, reach);
    // Another version, or other hosts: every user's stage has work to do.
    m_servesUsersAgain =
        m_earlier.Here().version != record.version || !ServeTheSameHosts(record, m_earlier.Here());

    const CString self = afx::GetModulePath();
    const CString uninstaller = JoinPath(folder, kUninstallerName);
    // Already these bytes (a repair or a modify runs from a copy of it, while
    // the uninstaller that started the copy still runs): left as it is.
    const bool uninstallerThere = !IsReparsePoint(uninstaller) && SameContent(self, uninstaller);
    const bool uninstallerWritten =
        uninstallerThere ||
        (m_install.journal.InstallFile(self, uninstaller) && SameContent(self, uninstaller));
    const bool recordWritten =
        uninstallerWritten && WriteInstallRecord(record, m_install.journal, m_install.log);
    m_uninstallable = uninstallerWritten && recordWritten;
    if (!m_uninstallable) {
        m_install.notDone.Add(
            StepsNotDone::Kind::UninstallNotSetUp,
            uninstallerWritten ? JoinPath(folder, kInstallRecordName) : uninstaller);
        // No entry may name an uninstaller that cannot work.
        if (IsSamePath(ReadInstalledFolder(), folder)) DeleteUninstallEntry();
        return false;
    }
    unsigned long long bytes = FileSize(uninstaller);
    for (const InstallRecord::File& file : record.files) bytes += file.size;
    const bool entered = WriteUninstallEntry({folder, kSetupVersion, bytes});
    m_install.log.Result("Programs and Features entry HKEY_LOCAL_MACHINE\\", kUninstallEntryKey,
                         entered, entered ? 0 : GetLastError());
    if (!entered) {
        m_install.notDone.Add(StepsNotDone::Kind::UninstallNotSetUp,
                              CString("HKEY_LOCAL_MACHINE\\") + kUninstallEntryKey);
    }
    return entered;
}
