#include "deploy/package_copy.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>

#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "deploy/setup_messages.h"
#include "framework/afx_app_name.h"
#include "framework/afx_msgbox.h"
#include "framework/scoped_handles.h"

namespace {

constexpr wchar_t kAppDataVariable[] = L"APPDATA";
constexpr char kCopyFailedFormat[] =
    "拷贝文件 %s 失败，可能原因如下：\n\n1、CAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";

bool IsFolderEntry(const WIN32_FIND_DATAA& entry) {
    return std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0 ||
           (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "APPDATA" in the ANSI code page; empty when missing or too long for the
// ANSI file functions. Read in its wide form and converted: Wine's ANSI read
// cuts a value short by one byte per double-byte character, and a user name
// in Chinese puts such characters into it.
CString AppDataValue() {
    wchar_t wide[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(kAppDataVariable, wide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    char value[MAX_PATH];
    // No room in the code page gives 0, as does any other failure.
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, value, MAX_PATH, nullptr, nullptr) <= 0) {
        return CString();
    }
    return CString(value);
}

// The user's application-data folder: "APPDATA", or the shell's folder when
// the variable is missing or too long for the ANSI file functions (an empty
// value would put the settings into "\Torvex" of whatever drive is current).
CString UserAppDataFolder() {
    const CString value = AppDataValue();
    if (!value.IsEmpty()) return value;
    char shellFolder[MAX_PATH];
    if (SUCCEEDED(
            SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellFolder))) {
        return CString(shellFolder);
    }
    return CString();
}

// Copies one file over any old one, asking the user while the copy fails.
// False when the user aborts.
bool CopyWithRetry(const CString& source, const CString& destination) {
    ClearReadOnly(source);
    RemoveDownloadMark(source);
    ClearReadOnly(destination);
    while (!CopyFileA(source, destination, FALSE)) {
        CString text;
        text.Format(kCopyFailedFormat, destination.GetString());
        const int answer =
            afx::ShowMessageBox(afx::GetSafeOwner(), text, kSetupBoxCaption, MB_ABORTRETRYIGNORE);
        if (answer == IDRETRY) continue;
        if (answer == IDIGNORE) break;
        // Abort, or a box that could not be shown: the copy must not pass
        // for a success.
        return false;
    }
    ClearReadOnly(destination);
    return true;
}

// Copies one listing entry where its name sends it. False when the user aborts.
bool CopyPackageEntry(const WIN32_FIND_DATAA& entry, const CString& sourceFolder,
                      const CString& installFolder) {
    if (IsFolderEntry(entry)) return true;
    const char* name = entry.cFileName;
    const PackageEntryKind kind = ClassifyPackageEntry(name);
    if (kind == PackageEntryKind::Skip || kind == PackageEntryKind::Font) return true;

    CString destinationFolder = installFolder;
    if (kind == PackageEntryKind::Settings) {
        destinationFolder = JoinPath(UserAppDataFolder(), kSettingsSubfolder);
        CreateDirectoryA(destinationFolder, nullptr);
    }
    return CopyWithRetry(JoinPath(sourceFolder, name), JoinPath(destinationFolder, name));
}

}  // namespace

void ClearReadOnly(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

bool CopyPackageFiles(const CString& installFolder, ProgressSink& progress) {
    return CopyPackageFiles(SetupFolderOf(afx::GetModulePath()), installFolder, progress);
}

bool CopyPackageFiles(const CString& setupFolder, const CString& installFolder,
                      ProgressSink& progress) {
    CString sourceFolder;
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return false;
    CreateDirectoryA(installFolder, nullptr);

    // One step before every fetch from the listing, the exhausted one included,
    // so that the bar moves file by file.
    const CString pattern = JoinPath(sourceFolder, "*.*");
    WIN32_FIND_DATAA entry;
    progress.StepIt();
    const afx::ScopedFindHandle listing(FindFirstFileA(pattern, &entry));
    // The folder vanished since the check: there is nothing to copy.
    if (!listing) return true;
    do {
        if (!CopyPackageEntry(entry, sourceFolder, installFolder)) return false;
        progress.StepIt();
    } while (FindNextFileA(listing.Get(), &entry));
    return true;
}
