#include "deploy/package_source.h"
#include "text/path_text.h"

#include <windows.h>

#include <algorithm>

#include "deploy/package_layout.h"
#include "framework/afx_app_name.h"
#include "framework/afx_msgbox.h"
#include "framework/scoped_handles.h"
#include "record/file_ownership.h"
#include "record/record_store.h"
#include "run/product.h"

namespace {

constexpr char kDownloadMarkStream[] = ":Zone.Identifier";
constexpr char kPackageMissingText[] =
    "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";

}  // namespace

bool RemoveDownloadMark(const char* filePath) {
    const CString stream = CString(filePath) + kDownloadMarkStream;
    return DeleteFileA(stream) != FALSE;
}

bool ResolvePackageSource(CString& sourceFolder) {
    return ResolvePackageSource(ParentFolder(afx::GetModulePath()), sourceFolder);
}

bool ResolvePackageSource(const CString& setupFolder, CString& sourceFolder) {
    const CString dataFolder = JoinPath(setupFolder, kPackageDataFolder);
    if (GetPathKind(dataFolder) == PathKind::Folder) {
        sourceFolder = dataFolder;
        return true;
    }
    sourceFolder = JoinPath(setupFolder, kPackageMarkerFile);
    if (GetPathKind(sourceFolder) == PathKind::File) {
        sourceFolder = setupFolder;
        return true;
    }
    // Most likely the setup was started from inside the archive.
    afx::ShowMessageBox(afx::GetSafeOwner(), kPackageMissingText, kSetupBoxCaption, MB_OK);
    return false;
}

std::vector<CString> MissingPackageFiles(const CString& sourceFolder,
                                         const std::vector<CString>& names) {
    std::vector<CString> missing;
    for (const CString& name : names) {
        if (GetPathKind(JoinPath(sourceFolder, name)) != PathKind::File) missing.push_back(name);
    }
    return missing;
}

std::vector<CString> KeptPackageFaults(const CString& installFolder) {
    const CString folder = JoinPath(installFolder, kPackageDataFolder);
    // The machine's copy first: a folder users may change (one an earlier
    // version made) could hold a record file rewritten to fit a planted file.
    InstallRecord record;
    if (!ReadInstallRecordMachineCopy(installFolder, &record) &&
        ReadInstallRecord(installFolder, &record) == RecordSource::None) {
        return {JoinPath(installFolder, kInstallRecordName)};
    }
    CString canonicalFolder;
    if (GetPathKind(folder) != PathKind::Folder || IsReparsePoint(folder) ||
        !CanonicalPath(folder, &canonicalFolder)) {
        return {folder};
    }
    std::vector<CString> faults;
    std::vector<CString> recorded;  // canonical
    for (const InstallRecord::File& file : record.files) {
        CString canonical;
        if (file.origin != InstallRecord::Origin::New || !CanonicalPath(file.path, &canonical) ||
            !IsDirectlyInFolder(canonical, canonicalFolder)) {
            continue;
        }
        recorded.push_back(canonical);
        const CString path = JoinPath(folder, FileNameOf(canonical));
        if (JudgeRecordedFile(file, ReadFileNow(path, file.size)) != Ownership::Own) {
            faults.push_back(FileNameOf(file.path));
        }
    }
    WIN32_FIND_DATAA entry;
    const afx::ScopedFindHandle listing(FindFirstFileA(JoinPath(folder, "*"), &entry));
    if (!listing) return faults;
    do {
        CString canonical;
        const bool file = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (file && (!CanonicalPath(JoinPath(folder, entry.cFileName), &canonical) ||
                     std::find(recorded.begin(), recorded.end(), canonical) == recorded.end())) {
            faults.push_back(entry.cFileName);
        }
    } while (FindNextFileA(listing.Get(), &entry));
    return faults;
}
