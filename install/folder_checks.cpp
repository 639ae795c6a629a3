#include "install/folder_checks.h"

#include <algorithm>

#include "record/record_store.h"
#include "system/file_identity.h"
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

constexpr char kUnsafeFoldersFormat[] =
    "管理员以外的用户也可以更改以下文件夹：\n\n%s\n"
    "他们可以借此替换安装到 %s 中的插件文件，而CAD会把这些文件加载到每个用户的会话中。\n\n"
    "仍要安装到这里吗？选择“否”可以另选一个只有管理员才能更改的文件夹"
    "（例如 C:\\Program Files）。";

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
bool EarlierInstallationMadeChosenFolder(const CString& chosenFolder, const CString& installFolder,
                                         const EarlierRecords& earlier) {
    if (GetPathKind(chosenFolder) != PathKind::Folder) return false;
    InstallRecord record;
    switch (earlier.RecordOf(installFolder, &record)) {
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
                       [&](const CString& created) { return IsSamePlace(created, chosenFolder); });
}

}  // namespace

CString LinkedFolderOf(const CString& chosenFolder, const CString& installFolder) {
    for (const CString& folder : {chosenFolder, installFolder}) {
        if (IsReparsePoint(AsFolderPath(folder))) return folder;
    }
    return CString();
}

std::vector<UnsafeFolder> FindUnsafeChosenFolders(const CString& chosenFolder,
                                                  const CString& installFolder,
                                                  const EarlierRecords& earlier,
                                                  bool* protectAnew) {
    *protectAnew = EarlierInstallationMadeChosenFolder(chosenFolder, installFolder, earlier);
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
