#include "setup/install_checks.h"

#include "deploy/package_contents.h"
#include "deploy/package_source.h"
#include "framework/afx_mbcs.h"
#include "lifecycle/product.h"
#include "lifecycle/uninstall_entry.h"
#include "system/file_ops.h"
#include "text/path_text.h"

CString PreviouslyChosenFolder() {
    const CString installed = ReadInstalledFolder();
    if (afx::MbsICmp(FileNameOf(installed), kInstallSubFolder + 1) != 0) return CString();
    const CString chosen = AsFolderPath(ParentFolder(installed));
    return IsAbsolutePath(chosen) ? chosen : CString();
}

bool IsReleaseOffered(const HostInstallRegistry& registry, HostRelease release) {
    return release != HostRelease::R2023 && registry.GetHostCount(release) > 0;
}

PackageCheck CheckPackage(const CString& setupFolder, const ReleaseSelection& releases,
                          std::vector<CString>* missing) {
    CString sourceFolder;
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return PackageCheck::Missing;
    *missing =
        MissingPackageFiles(sourceFolder, RequiredPackageFiles(releases.use2023, releases.use2024,
                                                               releases.use2025, releases.use2026));
    return missing->empty() ? PackageCheck::Complete : PackageCheck::Incomplete;
}

CString LinkedFolderOf(const CString& chosenFolder, const CString& installFolder) {
    for (const CString& folder : {chosenFolder, installFolder}) {
        if (IsReparsePoint(AsFolderPath(folder))) return folder;
    }
    return CString();
}
