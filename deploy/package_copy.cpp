#include "deploy/package_copy.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "deploy/folder_security.h"
#include "deploy/install_journal.h"
#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "deploy/setup_messages.h"
#include "deploy/step_account.h"
#include "framework/afx_app_name.h"
#include "framework/afx_msgbox.h"
#include "framework/afx_unicode.h"
#include "framework/scoped_handles.h"
#include "text/path_text.h"

namespace {

constexpr wchar_t kAppDataVariable[] = L"APPDATA";
constexpr char kCopyFailedFormat[] =
    "拷贝文件 %s 失败，可能原因如下：\n\n1、CAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
// Settings files are small; a larger one is simply taken for different.
constexpr unsigned long long kMaxComparedBytes = 16 * 1024 * 1024;
constexpr DWORD kCompareChunk = 64 * 1024;

bool IsFolderEntry(const WIN32_FIND_DATAA& entry) {
    return std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0 ||
           (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "APPDATA" in the ANSI code page; empty when missing, too long for the ANSI
// file functions, not an absolute folder or not expressible in the code page
// (a character it lacks reads as '?', never as a look-alike naming another
// folder). Read in its wide form and converted: Wine's ANSI read cuts a value
// short by one byte per double-byte character, and a user name in Chinese
// puts such characters into it.
CString AppDataValue() {
    wchar_t wide[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(kAppDataVariable, wide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    CString value;
    if (!afx::FromWide(wide, CP_ACP, &value) || value.GetLength() >= MAX_PATH) return CString();
    return IsAbsolutePath(value) ? value : CString();
}

// The user's application-data folder: "APPDATA", or the shell's folder when
// the variable is missing or unusable; empty when neither gives an absolute
// folder (an empty value would put the settings into "\Torvex" of whatever
// drive is current).
CString UserAppDataFolder() {
    const CString value = AppDataValue();
    if (!value.IsEmpty()) return value;
    char shellFolder[MAX_PATH];
    if (SUCCEEDED(
            SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellFolder)) &&
        IsAbsolutePath(shellFolder)) {
        return CString(shellFolder);
    }
    return CString();
}

bool ReadChunk(HANDLE file, std::vector<char>& buffer, DWORD* read) {
    return ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), read, nullptr) != FALSE;
}

bool SameContent(const char* a, const char* b) {
    const unsigned long long size = FileSize(a);
    if (size != FileSize(b) || size > kMaxComparedBytes) return false;
    const afx::ScopedKernelHandle fileA(
        CreateFileA(a, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const afx::ScopedKernelHandle fileB(
        CreateFileA(b, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!fileA || !fileB) return false;
    std::vector<char> chunkA(kCompareChunk);
    std::vector<char> chunkB(kCompareChunk);
    for (;;) {
        DWORD readA = 0;
        DWORD readB = 0;
        if (!ReadChunk(fileA.Get(), chunkA, &readA) || !ReadChunk(fileB.Get(), chunkB, &readB) ||
            readA != readB) {
            return false;
        }
        if (readA == 0) return true;
        if (std::memcmp(chunkA.data(), chunkB.data(), readA) != 0) return false;
    }
}

// A copy of the user's settings under a name no earlier backup holds.
bool BackUpSettings(const CString& settings, InstallJournal& journal) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const CString stem = SettingsBackupStem(
        settings, {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
    for (int attempt = 1;; ++attempt) {
        const CString backup = NumberedName(stem, attempt, kBackupExtension);
        if (GetFileAttributesA(backup) != INVALID_FILE_ATTRIBUTES) continue;
        return journal.InstallFile(settings, backup, InstallRecord::Origin::Settings);
    }
}

class PackageCopy {
public:
    PackageCopy(const CString& sourceFolder, const CString& installFolder, ProgressSink& progress,
                InstallLog& log)
        : m_sourceFolder(sourceFolder),
          m_installFolder(installFolder),
          m_progress(progress),
          m_journal(log.journal),
          m_account(log.account) {}

    // Copies one listing entry where its name sends it. False when the user aborts.
    bool CopyEntry(const WIN32_FIND_DATAA& entry) {
        if (IsFolderEntry(entry)) return true;
        const char* name = entry.cFileName;
        const PackageEntryKind kind = ClassifyPackageEntry(name);
        if (kind == PackageEntryKind::Skip || kind == PackageEntryKind::Font) return true;
        const CString source = JoinPath(m_sourceFolder, name);
        if (kind == PackageEntryKind::Settings) return CopySettings(source, name);
        return CopyWithRetry(source, JoinPath(m_installFolder, name),
                             StepAccount::Kind::FileSkipped, InstallRecord::Origin::New);
    }

private:
    bool CopySettings(const CString& source, const char* name) {
        const CString appData = UserAppDataFolder();
        if (appData.IsEmpty()) {
            m_account.Add(StepAccount::Kind::SettingsNotWritten, name);
            return true;
        }
        const CString folder = JoinPath(appData, kSettingsSubfolder);
        const CString destination = JoinPath(folder, name);
        // A folder that cannot be made shows in the copy's failure below.
        m_journal.CreateFolder(folder);
        if (IsReparsePoint(folder)) {
            m_account.Add(StepAccount::Kind::SettingsNotWritten, destination);
            return true;
        }
        // The user's own settings are kept beside the new ones; never lost.
        if (GetPathKind(destination) == PathKind::File && !SameContent(source, destination) &&
            !BackUpSettings(destination, m_journal)) {
            m_account.Add(StepAccount::Kind::SettingsNotWritten, destination);
            return true;
        }
        return CopyWithRetry(source, destination, StepAccount::Kind::SettingsNotWritten,
                             InstallRecord::Origin::Settings);
    }

    // Copies one file over any old one, asking the user while the copy fails.
    // False when the user aborts, or closed the dialog while asked.
    bool CopyWithRetry(const CString& source, const CString& destination, StepAccount::Kind skipped,
                       InstallRecord::Origin origin) {
        ClearReadOnly(source);
        RemoveDownloadMark(source);
        while (!m_journal.InstallFile(source, destination, origin)) {
            const int answer = afx::ShowMessageBox(
                afx::GetSafeOwner(), afx::FormatUiText(kCopyFailedFormat, {destination}),
                kSetupBoxCaption, MB_ABORTRETRYIGNORE);
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
    ProgressSink& m_progress;
    InstallJournal& m_journal;
    StepAccount& m_account;
};

}  // namespace

void ClearReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

bool CopyPackageFiles(const CString& installFolder, ProgressSink& progress, InstallLog& log) {
    return CopyPackageFiles(SetupFolderOf(afx::GetModulePath()), installFolder, progress, log);
}

bool CopyPackageFiles(const CString& setupFolder, const CString& installFolder,
                      ProgressSink& progress, InstallLog& log) {
    CString sourceFolder;
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return false;
    log.journal.CreateFolder(installFolder);

    // One step before every fetch from the listing, the exhausted one included,
    // so that the bar moves file by file.
    const CString pattern = JoinPath(sourceFolder, "*.*");
    WIN32_FIND_DATAA entry;
    progress.StepIt();
    const afx::ScopedFindHandle listing(FindFirstFileA(pattern, &entry));
    // The folder vanished since the check: there is nothing to copy.
    if (!listing) return true;
    PackageCopy copy(sourceFolder, installFolder, progress, log);
    do {
        if (!copy.CopyEntry(entry)) return false;
        progress.StepIt();
    } while (FindNextFileA(listing.Get(), &entry));
    return true;
}
