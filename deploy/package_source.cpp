#include "deploy/package_source.h"

#include <windows.h>

#include "deploy/package_layout.h"
#include "framework/afx_msgbox.h"
#include "run/product.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

constexpr char kPackageMissingText[] =
    "未找到安装所需的Data文件夹 !\n\n可能安装文件下载后没有解压，\n\n请解压后再执行SetUp.exe !";

}  // namespace

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
