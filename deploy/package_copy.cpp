#include "deploy/package_copy.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "deploy/download_mark.h"
#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "deploy/settings_file.h"
#include "framework/afx_error.h"
#include "framework/afx_msgbox.h"
#include "framework/afx_unicode.h"
#include "framework/scoped_handles.h"
#include "journal/install_context.h"
#include "run/product.h"
#include "run/steps_not_done.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "system/folder_security.h"
#include "text/path_text.h"

namespace {

// A file in use or locked: the CAD, or rights the user may gain.
constexpr char kCopyFailedFormat[] =
    "拷贝文件 %s 失败，可能原因如下：\n\n1、CAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
// Any other failure, told as Windows tells it.
constexpr char kCopyErrorFormat[] = "拷贝文件 %s 失败（错误 %lu：%s）。";

// Another try may mend these: the file is in use or locked for the while.
bool MayPassWithTime(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool IsFolderEntry(const WIN32_FIND_DATAA& entry) {
    return std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0 ||
           (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class PackageCopy {
public:
    PackageCopy(const CString& sourceFolder, const CString& installFolder, bool userSettings,
                ProgressSink& progress, InstallContext& install)
        : m_sourceFolder(sourceFolder),
          m_installFolder(installFolder),
          m_keptPackage(JoinPath(installFolder, kPackageDataFolder)),
          m_userSettings(userSettings),
          m_progress(progress),
          m_journal(install.journal),
          m_account(install.notDone),
          m_log(install.log),
          m_unattended(install.unattended) {}

    // Copies one listing entry where its name sends it. False when the user aborts.
    bool CopyEntry(const WIN32_FIND_DATAA& entry) {
        if (IsFolderEntry(entry)) return true;
        const char* name = entry.cFileName;
        const PackageEntryKind kind = ClassifyPackageEntry(name);
        if (kind == PackageEntryKind::Skip) return true;
        const CString source = JoinPath(m_sourceFolder, name);
        const bool copied =
            kind == PackageEntryKind::Font ? true
            : kind == PackageEntryKind::Settings
                ? CopySettings(source, name)
                : CopyWithRetry(source, JoinPath(m_installFolder, name),
                                StepsNotDone::Kind::FileSkipped, InstallRecord::Origin::New);
        return copied && KeepInPackage(source, name);
    }

private:
    // Every file the installation uses is kept in its folder too, for a
    // repair or a modify without the package. Installed from that kept
    // package, the file stays as it is.
    bool KeepInPackage(const CString& source, const char* name) {
        const CString kept = JoinPath(m_keptPackage, name);
        if (!IsSamePlace(source, kept)) {
            return CopyWithRetry(source, kept, StepsNotDone::Kind::FileSkipped,
                                 InstallRecord::Origin::New);
        }
        if (!m_journal.KeepAsInstalled(kept)) m_account.Add(StepsNotDone::Kind::FileSkipped, kept);
        return true;
    }

    bool CopySettings(const CString& source, const char* name) {
        // Kept in the installation folder too, for the users the per-user
        // stage serves after the package is gone.
        const CString copyFolder = JoinPath(m_installFolder, kSettingsCopyFolder);
        m_journal.CreateFolder(copyFolder);
        if (!CopyWithRetry(source, JoinPath(copyFolder, name), StepsNotDone::Kind::FileSkipped,
                           InstallRecord::Origin::New)) {
            return false;
        }
        if (!m_userSettings) return true;
        CString destination;
        if (!PrepareUserSettings(source, name, m_journal, &destination)) {
            m_account.Add(StepsNotDone::Kind::SettingsNotWritten, destination);
            return true;
        }
        return CopyWithRetry(source, destination, StepsNotDone::Kind::SettingsNotWritten,
                             InstallRecord::Origin::Settings);
    }

    // Copies one file over any old one, asking the user while the copy fails.
    // False when the user aborts, or closed the dialog while asked, and in a
    // silent run at a failure that no retry mends.
    bool CopyWithRetry(const CString& source, const CString& destination,
                       StepsNotDone::Kind skipped, InstallRecord::Origin origin) {
        ClearReadOnly(source);
        RemoveDownloadMark(source);
        while (!m_journal.InstallFile(source, destination, origin)) {
            const DWORD error = GetLastError();
            if (m_unattended && !MayPassWithTime(error)) {
                // The journal has logged the failure with its Windows error.
                m_log.Write(afx::FormatUiText(
                    "not retried: error %lu is no sharing or lock violation", {error}));
                return false;
            }
            const afx::UiText text =
                MayPassWithTime(error)
                    ? afx::FormatUiText(kCopyFailedFormat, {destination})
                    : afx::FormatUiText(
                          kCopyErrorFormat,
                          {destination, error, AfxErrorText(static_cast<HRESULT>(error))});
            const int answer = afx::ShowMessageBox(afx::GetSafeOwner(), text, kSetupBoxCaption,
                                                   MB_ABORTRETRYIGNORE);
            if (m_progress.CancelRequested()) return false;
            if (answer == IDRETRY) continue;
            if (answer == IDIGNORE) {
                m_account.Add(skipped, destination);
                return true;
            }
            // Abort, or a box that could not be shown: the copy must not pass
            // for a success.
            return false;
        }
        return true;
    }

    const CString& m_sourceFolder;
    const CString& m_installFolder;
    const CString m_keptPackage;
    const bool m_userSettings;
    ProgressSink& m_progress;
    InstallJournal& m_journal;
    StepsNotDone& m_account;
    RunLog& m_log;
    const bool m_unattended;
};

}  // namespace

bool CopyPackageFiles(const CString& setupFolder, const CString& installFolder,
                      ProgressSink& progress, InstallContext& install, bool userSettings) {
    CString sourceFolder;
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return false;
    install.journal.CreateFolder(installFolder);
    // A folder that cannot be made shows when its first file is copied.
    install.journal.CreateFolder(JoinPath(installFolder, kPackageDataFolder));

    // One step before every fetch from the listing, the exhausted one included,
    // so that the bar moves file by file.
    const CString pattern = JoinPath(sourceFolder, "*.*");
    WIN32_FIND_DATAA entry;
    progress.StepIt();
    const afx::ScopedFindHandle listing(FindFirstFileA(pattern, &entry));
    // The folder vanished since the check: there is nothing to copy.
    if (!listing) return true;
    PackageCopy copy(sourceFolder, installFolder, userSettings, progress, install);
    do {
        if (!copy.CopyEntry(entry)) return false;
        progress.StepIt();
    } while (FindNextFileA(listing.Get(), &entry));
    return true;
}
