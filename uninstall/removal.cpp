#include "uninstall/removal.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "framework/afx_mbcs.h"
#include "framework/scoped_handles.h"
#include "hosts/host_contract.h"
#include "lifecycle/file_ops.h"
#include "lifecycle/product.h"
#include "lifecycle/record_store.h"
#include "lifecycle/uninstall_entry.h"
#include "text/path_text.h"

namespace {

// The uninstaller that started this run may take a moment to end.
constexpr int kBusyRetries = 50;
constexpr DWORD kBusyRetryMs = 100;

constexpr char kSummaryFormat[] =
    "T-批打印软件已卸载。\n\n已删除 %d 个文件、%d 个注册表项和 %d 个文件夹。";
constexpr char kLeftHeading[] = "\n\n以下项目已保留：";
constexpr char kChangedFormat[] = "%s（安装后已被修改）";
constexpr char kNotRemovedFormat[] = "%s（无法删除）";
constexpr char kForeignFormat[] = "%s（不属于本插件，未删除）";
constexpr char kSettingsKept[] = "\n\n您的设置文件 Torvex.Ini 已保留。";

bool SameText(const CString& a, const CString& b) {
    return afx::MbsICmp(a, b) == 0;
}

// True when `path` lies directly in `folder`.
bool IsDirectlyIn(const CString& path, const CString& folder) {
    const char* slash = afx::MbsRChr(path, '\\');
    return slash &&
           SameText(CString(path.GetString(), static_cast<int>(slash - path.GetString())), folder);
}

// The installation folder, or a served host folder or its fonts folder.
bool IsInServedFolder(const InstallRecord& record, const CString& path) {
    if (IsDirectlyIn(path, record.installFolder)) return true;
    return std::any_of(record.releases.begin(), record.releases.end(), [&](const auto& r) {
        return IsDirectlyIn(path, r.hostFolder) ||
               IsDirectlyIn(path, JoinPath(r.hostFolder, kHostFontsFolder));
    });
}

// The "Applications" key of a served host, or one of its subkeys.
bool IsServedApplicationsKey(const InstallRecord& record, const CString& key) {
    return std::any_of(record.releases.begin(), record.releases.end(), [&](const auto& r) {
        const CString applications = r.hostKey + kApplicationsKey;
        return SameText(key, applications) || IsDirectlyIn(key, applications);
    });
}

void Left(UninstallOutcome& outcome, const char* format, const CString& what) {
    outcome.left.push_back(afx::FormatUiText(format, {what}));
}

bool DeleteWhenFree(const CString& path) {
    for (int attempt = 0; attempt < kBusyRetries; ++attempt) {
        if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        Sleep(kBusyRetryMs);
    }
    return false;
}

void RemoveFiles(const InstallRecord& record, UninstallOutcome& outcome) {
    for (const InstallRecord::File& file : record.files) {
        if (file.origin != InstallRecord::Origin::New) continue;
        if (!IsInServedFolder(record, file.path)) {
            Left(outcome, kForeignFormat, file.path);
            continue;
        }
        const DWORD attributes = GetFileAttributesA(file.path);
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;  // gone already
        // A link in its place, or a file of another size, is not what was installed.
        if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
            FileSize(file.path) != file.size) {
            Left(outcome, kChangedFormat, file.path);
            continue;
        }
        ClearReadOnly(file.path);
        if (DeleteFileA(file.path)) {
            ++outcome.removedFiles;
        } else {
            Left(outcome, kNotRemovedFormat, file.path);
        }
    }
}

void RemoveKeys(const InstallRecord& record, UninstallOutcome& outcome) {
    // Newest first: the entries before the "Applications" key they are in.
    for (auto key = record.keys.rbegin(); key != record.keys.rend(); ++key) {
        if (key->origin != InstallRecord::Origin::New) continue;
        if (!IsServedApplicationsKey(record, key->path)) {
            Left(outcome, kForeignFormat, "HKEY_CURRENT_USER\\" + key->path);
            continue;
        }
        const LONG result = RegDeleteKeyA(HKEY_CURRENT_USER, key->path);
        const char* slash = afx::MbsRChr(key->path, '\\');
        const bool isApplications =
            SameText(slash ? slash + 1 : key->path.GetString(), kApplicationsKey);
        if (result == ERROR_SUCCESS) {
            ++outcome.removedKeys;
        } else if (result != ERROR_FILE_NOT_FOUND && !isApplications) {
            // "Applications" may hold other add-ons: it stays without a word.
            Left(outcome, kNotRemovedFormat, "HKEY_CURRENT_USER\\" + key->path);
        }
    }
}

}  // namespace

UninstallOutcome RemoveInstallation(const InstallRecord& record) {
    UninstallOutcome outcome;
    RemoveFiles(record, outcome);
    RemoveKeys(record, outcome);
    DeleteFileA(JoinPath(record.installFolder, kInstallRecordName));
    DeleteWhenFree(JoinPath(record.installFolder, kUninstallerName));
    for (auto folder = record.createdFolders.rbegin(); folder != record.createdFolders.rend();
         ++folder) {
        // Only empty folders go; one that holds anything else stays as it is.
        if (!IsReparsePoint(*folder) && RemoveDirectoryA(*folder)) ++outcome.removedFolders;
    }
    if (SameText(ReadInstalledFolder(), record.installFolder)) DeleteUninstallEntry();
    return outcome;
}

afx::UiText UninstallSummaryText(const UninstallOutcome& outcome) {
    afx::UiText text = afx::FormatUiText(
        kSummaryFormat, {outcome.removedFiles, outcome.removedKeys, outcome.removedFolders});
    if (!outcome.left.empty()) {
        text += kLeftHeading;
        for (const afx::UiText& item : outcome.left) text += "\n" + item;
    }
    text += kSettingsKept;
    return text;
}
