#include "install/install_checks.h"

#include <algorithm>

#include "deploy/package_contents.h"
#include "deploy/package_source.h"
#include "entries/uninstall_entry.h"
#include "framework/afx_mbcs.h"
#include "framework/afx_msgbox.h"
#include "install/installation.h"
#include "record/record_store.h"
#include "run/product.h"
#include "run/product_version.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/folder_access_win32.h"
#include "text/path_text.h"

namespace {

// What each risk lets users other than administrators do: for the log, and
// for the dialog's box.
struct RiskText {
    unsigned risk;
    const char* log;
    const char* box;
};
constexpr RiskText kRiskTexts[] = {
    {folder_risk::kOwnedByOther, "owned by an account that is not an administrator's",
     "所有者不是管理员"},
    {folder_risk::kPermissionsChangeable, "its permissions may be changed", "其权限可被更改"},
    {folder_risk::kRenamable, "it may be renamed or deleted", "可被重命名或删除"},
    {folder_risk::kContentRenamable, "what is in it may be renamed or deleted",
     "其中的内容可被重命名或删除"},
    {folder_risk::kAddable, "files and folders may be added to it", "可向其中添加文件或文件夹"},
    {folder_risk::kUnreadable, "its permissions cannot be read", "无法读取其权限"},
};

constexpr char kKeptPackageFormat[] =
    "安装文件夹中保存的安装包缺少文件或文件已被更改，无法修复或更改安装：\n\n%s\n"
    "没有作任何更改。请运行安装包中的SetUp.exe重新安装。";

constexpr char kUnsafeFoldersFormat[] =
    "管理员以外的用户也可以更改以下文件夹：\n\n%s\n"
    "他们可以借此替换安装到 %s 中的插件文件，而CAD会把这些文件加载到每个用户的会话中。\n\n"
    "仍要安装到这里吗？选择“否”可以另选一个只有管理员才能更改的文件夹"
    "（例如 C:\\Program Files）。";

constexpr char kDowngradeFormat[] =
    "本机已安装 T-批打印软件 %s，比本安装程序的版本 %s 新。\n\n"
    "为防止意外退回旧版本，安装程序没有作任何更改。如确需退回，请由管理员运行：\n\n"
    "SetUp.exe /ALLOWDOWNGRADE";

// What each step is, for the log; indexed like VersionStep.
constexpr const char* kVersionSteps[] = {"a first installation", "an upgrade", "a repair",
                                         "a downgrade: refused", "a rollback (/ALLOWDOWNGRADE)"};

afx::UiText Risks(unsigned risks, bool forBox) {
    afx::UiText text;
    for (const RiskText& row : kRiskTexts) {
        if (!(risks & row.risk)) continue;
        if (!text.IsEmpty()) text += forBox ? "；" : ", ";
        text += forBox ? row.box : row.log;
    }
    return text;
}

// An earlier installation into `installFolder` made the existing chosen
// folder, as its record says: the file, believed only from an installation
// folder that only administrators may change, or the machine's copy.
bool EarlierInstallationMadeChosenFolder(const CString& chosenFolder,
                                         const CString& installFolder) {
    if (GetPathKind(chosenFolder) != PathKind::Folder) return false;
    InstallRecord record;
    switch (ReadInstallRecord(installFolder, &record)) {
        case RecordSource::None:
            return false;
        case RecordSource::MachineCopy:
            break;
        case RecordSource::File: {
            // Believed only from a folder nobody but administrators could
            // have written it into.
            const FolderAccess access = ReadFolderAccess(installFolder);
            if (access.state != FolderAccess::State::Read || JudgeFolder(access, true) != 0) {
                return false;
            }
            break;
        }
    }
    return std::any_of(record.createdFolders.begin(), record.createdFolders.end(),
                       [&](const CString& created) { return IsSamePath(created, chosenFolder); });
}

}  // namespace

bool AcceptVersionStep(HWND owner, bool allowDowngrade, RunLog& log) {
    const int installed = InstalledVersion();
    const VersionStep step = StepOver(installed, kSetupVersion, allowDowngrade);
    const CString mine = FormatSetupVersion(kSetupVersion);
    const CString theirs = installed ? FormatSetupVersion(installed) : CString("none");
    log.Write(afx::FormatUiText("installed version %s, this one %s: ", {theirs, mine}) +
              kVersionSteps[static_cast<int>(step)]);
    if (step != VersionStep::Downgrade) return true;
    afx::ShowMessageBox(owner, afx::FormatUiText(kDowngradeFormat, {theirs, mine}),
                        kSetupBoxCaption, MB_OK | MB_ICONWARNING);
    return false;
}

CString PreviouslyChosenFolder() {
    const CString installed = ReadInstalledFolder();
    if (afx::MbsICmp(FileNameOf(installed), kInstallFolderName) != 0) return CString();
    const CString chosen = AsFolderPath(ParentFolder(installed));
    return IsAbsolutePath(chosen) ? chosen : CString();
}

bool IsReleaseOffered(const FoundHosts& registry, HostRelease release) {
    return release != HostRelease::R2023 && registry.GetHostCount(release) > 0;
}

ReleaseSelection OfferedReleases(const FoundHosts& registry) {
    ReleaseSelection offered;
    for (const HostRelease release : kHostReleases) {
        offered.Select(release, IsReleaseOffered(registry, release));
    }
    return offered;
}

PackageCheck CheckPackage(const InstallRequest& request, std::vector<CString>* missing) {
    if (request.source == PackageSource::KeptByInstallation) {
        *missing = KeptPackageFaults(request.installFolder);
        if (!missing->empty()) return PackageCheck::KeptDamaged;
    }
    CString sourceFolder;
    if (!ResolvePackageSource(request.setupFolder, sourceFolder)) return PackageCheck::Missing;
    const ReleaseSelection& use = request.releases;
    *missing = MissingPackageFiles(
        sourceFolder, RequiredPackageFiles(use.use2023, use.use2024, use.use2025, use.use2026));
    return missing->empty() ? PackageCheck::Complete : PackageCheck::Incomplete;
}

afx::UiText KeptPackageLogText(const std::vector<CString>& faults) {
    afx::UiText text(
        "the package the installation keeps is not what it recorded, nothing was "
        "changed; missing, changed or unknown:");
    for (const CString& fault : faults) text += afx::UiText(" ") + afx::UiText::System(fault);
    return text;
}

afx::UiText KeptPackageBoxText(const std::vector<CString>& faults) {
    afx::UiText list;
    for (const CString& fault : faults) list += afx::UiText::System(fault) + "\n";
    return afx::FormatUiText(kKeptPackageFormat, {list});
}

CString LinkedFolderOf(const CString& chosenFolder, const CString& installFolder) {
    for (const CString& folder : {chosenFolder, installFolder}) {
        if (IsReparsePoint(AsFolderPath(folder))) return folder;
    }
    return CString();
}

std::vector<UnsafeFolder> FindUnsafeChosenFolders(const CString& chosenFolder,
                                                  const CString& installFolder, bool* protectAnew) {
    *protectAnew = EarlierInstallationMadeChosenFolder(chosenFolder, installFolder);
    return FindUnsafeFolders(chosenFolder, *protectAnew);
}

afx::UiText UnsafeFoldersLogText(const std::vector<UnsafeFolder>& unsafe) {
    afx::UiText text(
        "users other than administrators may change the chosen folder or one above it:");
    for (const UnsafeFolder& folder : unsafe) {
        text += afx::UiText(" ") + afx::UiText::System(folder.folder) + " (" +
                Risks(folder.risks, false) + ")";
    }
    return text;
}

afx::UiText UnsafeFoldersBoxText(const std::vector<UnsafeFolder>& unsafe,
                                 const CString& installFolder) {
    afx::UiText list;
    for (const UnsafeFolder& folder : unsafe) {
        list += afx::UiText::System(folder.folder) + "（" + Risks(folder.risks, true) + "）\n";
    }
    return afx::FormatUiText(kUnsafeFoldersFormat, {list, installFolder});
}
