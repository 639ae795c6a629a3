#include "setup/installation.h"

#include <algorithm>

#include "deploy/host_deployment.h"
#include "deploy/package_copy.h"
#include "deploy/plugin_registration.h"
#include "framework/afx_app_name.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "lifecycle/file_ops.h"
#include "lifecycle/folder_security.h"
#include "lifecycle/per_user.h"
#include "lifecycle/product.h"
#include "lifecycle/record_store.h"
#include "lifecycle/served_places.h"
#include "lifecycle/uninstall_entry.h"
#include "resources/resource.h"
#include "setup/setup_title.h"
#include "text/path_text.h"
#include "uninstall/removal.h"

namespace {

constexpr char kProtectionFailedFormat[] =
    "无法设置安装文件夹 %s 的访问权限（错误 %lu）。\n\n"
    "为防止其他用户替换插件文件，安装已停止，已创建的内容已撤销。";
constexpr char kJournalFailedFormat[] =
    "无法在安装文件夹 %s 中写入安装日志（错误 %lu）。\n\n安装已停止，已创建的内容已撤销。";

}  // namespace

Installation::Installation(const InstallRequest& request, HostInstallRegistry& registry,
                           ProgressSink& progress, RunLog& log, HWND owner)
    : m_request(request), m_registry(registry), m_progress(progress), m_owner(owner), m_log(log) {}

InstallResult Installation::Run() {
    TakeOverEarlier();
    // The folder the user chose, then the installation folder inside it.
    m_log.journal.CreateFolder(AsFolderPath(m_request.chosenFolder));
    if (!MakeInstallationFolder()) return InstallResult::Failed;
    // Without its folder there is nothing to journal: the copy names the
    // folder that could not be made.
    if (GetPathKind(m_request.installFolder) == PathKind::Folder &&
        !m_log.journal.MakeDurable(m_request.installFolder)) {
        Stop(kJournalFailedFormat, m_request.installFolder, GetLastError());
        return InstallResult::Failed;
    }

    if (!CopyPackageFiles(m_request.setupFolder, m_request.installFolder, m_progress, m_log,
                          m_request.servesOwnProfile)) {
        // The user has been told, or closed the dialog: nothing more may be
        // done, and nothing of the copy stays.
        m_log.journal.Rollback();
        return InstallResult::Aborted;
    }
    m_progress.StepIt();

    // Registration reads the installation folder from the record.
    m_registry.installFolder = m_request.installFolder;
    const std::array<bool, kHostReleaseCount>& use = m_request.releases;
    if (m_request.servesOwnProfile) {
        RegisterPlugin(m_registry, use[0], use[1], use[2], use[3], m_log);
    } else {
        m_log.events.Write("a service account: no profile of its own is served");
    }
    m_progress.StepIt();
    DeployToHosts(m_request.setupFolder, m_registry, use[0], use[1], use[2], use[3], m_log);
    m_progress.StepIt();

    const bool stageWritten = WriteUserStage();
    if (SetUpUninstall() && stageWritten) EnterUserStage();
    m_log.journal.Commit();
    if (!m_earlierElsewhere.installFolder.IsEmpty()) {
        // Complete here: the earlier folder's own files and uninstaller go.
        RemoveInstallationFolderOnly(m_earlierElsewhere, m_log.events);
    }
    return m_log.account.IsEmpty() ? InstallResult::Complete : InstallResult::Incomplete;
}

void Installation::TakeOverEarlier() {
    const CString& folder = m_request.installFolder;
    switch (ReadInstallRecord(folder, &m_earlierHere)) {
        case RecordSource::File:
            m_log.events.Write(afx::UiText("an earlier installation's record: ") +
                               afx::UiText::System(folder));
            break;
        case RecordSource::MachineCopy:
            m_log.events.Write("the record file is missing or damaged; its machine copy is used");
            break;
        case RecordSource::None:
            // The plug-in was here, but its record is lost: what lies in its
            // own folder is its own all the same.
            if (IsSamePath(ReadInstalledFolder(), folder) ||
                GetPathKind(JoinPath(folder, kUninstallerName)) == PathKind::File ||
                GetPathKind(JoinPath(folder, kInstallRecordName)) == PathKind::File) {
                m_log.events.Write("an earlier installation without a readable record");
                m_log.journal.TakeOverFolder(folder);
            }
            break;
    }
    m_log.journal.TakeOver(m_earlierHere);

    // One installation per machine: an installation into another folder
    // takes over the hosts the earlier one served.
    const CString installed = ReadInstalledFolder();
    if (installed.IsEmpty() || IsSamePath(installed, folder)) return;
    if (ReadInstallRecord(installed, &m_earlierElsewhere) == RecordSource::None) {
        m_log.events.Write(afx::UiText("the installation named in Programs and Features has no "
                                       "readable record; it is not moved: ") +
                           afx::UiText::System(installed));
        m_earlierElsewhere = InstallRecord();
        return;
    }
    m_log.events.Write(afx::UiText("the installation moves here from ") +
                       afx::UiText::System(installed));
    m_log.journal.TakeOver(m_earlierElsewhere);
}

bool Installation::MakeInstallationFolder() {
    const CString& folder = m_request.installFolder;
    // A folder that cannot be made shows in the copy, which names it.
    if (!m_log.journal.CreateFolder(folder)) return true;
    // Created afresh or taken over: from here on only administrators may
    // change what the hosts will load from it.
    switch (ProtectInstallFolder(folder)) {
        case FolderProtection::Applied:
            m_log.events.Result("protect installation folder", folder, true);
            return true;
        case FolderProtection::VolumeKeepsNoAcls:
            m_log.events.Write(
                afx::UiText("the volume keeps no permissions: the installation folder, its "
                            "record and journal cannot be protected: ") +
                afx::UiText::System(folder));
            return true;
        case FolderProtection::Failed:
            break;
    }
    const DWORD error = GetLastError();
    m_log.events.Result("protect installation folder", folder, false, error);
    return Stop(kProtectionFailedFormat, folder, error);
}

bool Installation::Stop(const char* format, const CString& what, DWORD error) {
    m_log.journal.Rollback();
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
        bytes && m_log.journal.InstallData(stage, bytes, SizeofResource(nullptr, found));
    m_log.events.Result("per-user stage", stage, written, written ? 0 : GetLastError());
    if (!written) m_log.account.Add(StepAccount::Kind::UserStageNotSetUp, stage);
    return written;
}

bool Installation::OwnProfileMissing() const {
    for (const HostRelease release : kHostReleases) {
        if (m_request.releases[HostReleaseIndex(release)] &&
            ProfileMissing(m_registry, HostReleaseYear(release))) {
            return true;
        }
    }
    return false;
}

void Installation::EnterUserStage() {
    const CString command =
        UserStageCommand(JoinPath(m_request.installFolder, kUserStageName), kStartedByActiveSetup);
    // Moved to another folder: every user is served again, from this one.
    CString earlierCommand;
    CString earlierVersion;
    const bool entered = ReadActiveSetupEntry(&earlierCommand, &earlierVersion);
    const bool moved = entered && afx::MbsICmp(earlierCommand, command) != 0;
    const CString version = NextActiveSetupVersion(g_nSetupVersion, earlierVersion, moved);
    const bool written = WriteActiveSetupEntry(command, version);
    m_log.events.Result("Active Setup entry HKEY_LOCAL_MACHINE\\", kActiveSetupKey, written,
                        written ? 0 : GetLastError());
    if (!written) {
        m_log.account.Add(StepAccount::Kind::UserStageNotSetUp,
                          CString("HKEY_LOCAL_MACHINE\\") + kActiveSetupKey);
        return;
    }
    // This account was served just now, unless it has no profile of its own;
    // a host it has not started yet is left to its next logon.
    if (!m_request.servesOwnProfile) {
        m_log.events.Write("a service account: no Active Setup stamp of its own");
        return;
    }
    if (OwnProfileMissing()) {
        m_log.events.Write(
            "a host profile of this account's is missing: not stamped, its next "
            "logon starts the per-user stage");
        return;
    }
    const bool stamped = StampActiveSetupDone(version);
    m_log.events.Result("served already: Active Setup stamp HKEY_CURRENT_USER\\", kActiveSetupKey,
                        stamped, stamped ? 0 : GetLastError());
}

bool Installation::SetUpUninstall() {
    const CString& folder = m_request.installFolder;
    // What the installation did, before its own uninstaller is written: the
    // uninstaller takes care of itself.
    InstallRecord record = m_log.journal.Record(folder);
    record.version = FormatSetupVersion(g_nSetupVersion);
    // An earlier installation into this folder: what it created stays the
    // plug-in's to remove.
    record.MergeEarlier(m_earlierHere);
    MoveEarlierInto(record);

    const CString self = afx::GetModulePath();
    const CString uninstaller = JoinPath(folder, kUninstallerName);
    const bool uninstallerWritten =
        m_log.journal.InstallFile(self, uninstaller) && SameContent(self, uninstaller);
    const bool recordWritten =
        uninstallerWritten && WriteInstallRecord(record, m_log.journal, m_log.events);
    if (!uninstallerWritten || !recordWritten) {
        m_log.account.Add(StepAccount::Kind::UninstallNotSetUp,
                          uninstallerWritten ? JoinPath(folder, kInstallRecordName) : uninstaller);
        // No entry may name an uninstaller that cannot work.
        if (IsSamePath(ReadInstalledFolder(), folder)) DeleteUninstallEntry();
        return false;
    }
    unsigned long long bytes = FileSize(uninstaller);
    for (const InstallRecord::File& file : record.files) bytes += file.size;
    const bool entered = WriteUninstallEntry({folder, g_nSetupVersion, bytes});
    m_log.events.Result("Programs and Features entry HKEY_LOCAL_MACHINE\\", kUninstallEntryKey,
                        entered, entered ? 0 : GetLastError());
    if (!entered) {
        m_log.account.Add(StepAccount::Kind::UninstallNotSetUp,
                          CString("HKEY_LOCAL_MACHINE\\") + kUninstallEntryKey);
    }
    return entered;
}

void Installation::MoveEarlierInto(InstallRecord& record) {
    if (m_earlierElsewhere.installFolder.IsEmpty()) return;
    InstallRecord hosts = m_earlierElsewhere;
    // Its folder's own files go with it; what it did for the hosts stays,
    // the host files it kept coming along into this folder.
    hosts.installFolder = m_request.installFolder;
    hosts.createdFolders.clear();
    ServedPlaces earlierPlaces(m_earlierElsewhere.installFolder);
    hosts.files.erase(std::remove_if(hosts.files.begin(), hosts.files.end(),
                                     [&](const InstallRecord::File& f) {
                                         return earlierPlaces.PlaceOf(f.path) ==
                                                ServedPlaces::Place::InstallFolder;
                                     }),
                      hosts.files.end());
    const CString keepFolder = JoinPath(m_request.installFolder, kKeptFilesFolder);
    hosts.keptFiles.clear();
    for (const InstallRecord::KeptFile& kept : m_earlierElsewhere.keptFiles) {
        if (earlierPlaces.PlaceOf(kept.keptAs) != ServedPlaces::Place::KeptFiles) continue;
        m_log.journal.CreateFolder(keepFolder);
        CString movedTo;
        for (int attempt = 1;; ++attempt) {
            movedTo = NumberedName(JoinPath(keepFolder, FileNameOf(kept.keptAs)), attempt, "");
            if (GetPathKind(movedTo) == PathKind::Absent) break;
        }
        if (m_log.journal.InstallFile(kept.keptAs, movedTo)) {
            hosts.keptFiles.push_back({kept.path, movedTo});
        }
    }
    record.MergeEarlier(hosts);
}
