#include "deploy/host_deployment.h"

#include <windows.h>

#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "framework/afx_app_name.h"

namespace {

// Replaces any old file; a file the package lacks or a locked destination
// is passed over.
void CopyPackageFile(const CString& sourceFolder, const CString& destinationFolder,
                     const char* name) {
    CopyFileA(JoinPath(sourceFolder, name), JoinPath(destinationFolder, name), FALSE);
}

}  // namespace

void DeployToHosts(const HostInstallRegistry& registry, bool use2023, bool use2024, bool use2025,
                   bool use2026) {
    DeployToHosts(SetupFolderOf(afx::GetModulePath()), registry, use2023, use2024, use2025,
                  use2026);
}

void DeployToHosts(const CString& setupFolder, const HostInstallRegistry& registry, bool use2023,
                   bool use2024, bool use2025, bool use2026) {
    for (const HostRelease release : SelectedReleases(use2023, use2024, use2025, use2026)) {
        const CStringArray& folders = registry.hostFolders[HostReleaseIndex(release)];
        for (int i = 0; i < folders.GetSize(); ++i) DeployToHostFolder(setupFolder, folders[i]);
    }
}

void DeployToHostFolder(const CString& hostFolder) {
    DeployToHostFolder(SetupFolderOf(afx::GetModulePath()), hostFolder);
}

void DeployToHostFolder(const CString& setupFolder, const CString& hostFolder) {
    CString sourceFolder;
    // The copy passed this check just before; should the package have gone
    // since, the user has been told again and there is nothing to copy.
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return;

    // Not created: a host without a fonts folder gets no fonts.
    const CString fontsFolder = JoinPath(hostFolder, kHostFontsSubfolder);
    CopyPackageFile(sourceFolder, fontsFolder, kShapeFontEn);
    CopyPackageFile(sourceFolder, fontsFolder, kShapeFontHz);
    CopyPackageFile(sourceFolder, hostFolder, kPdfLibrary);
    for (int year = kFirstHostModuleYear; year <= kLastHostModuleYear; ++year) {
        CopyPackageFile(sourceFolder, hostFolder, HostModuleName(year));
    }
}
