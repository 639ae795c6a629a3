#include "deploy/host_deployment.h"
#include "text/path_text.h"

#include <windows.h>

#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "framework/afx_app_name.h"
#include "hosts/host_contract.h"
#include "lifecycle/folder_security.h"
#include "lifecycle/install_journal.h"

namespace {

// Replaces any old file, never writing through a link in its place. A file
// the package lacks is no failure (the package check has made sure of the
// ones the releases need); a destination that cannot be written is.
void CopyPackageFile(const CString& sourceFolder, const CString& destinationFolder,
                     const char* name, InstallLog& log) {
    const CString source = JoinPath(sourceFolder, name);
    if (GetPathKind(source) != PathKind::File) return;
    const CString destination = JoinPath(destinationFolder, name);
    if (IsReparsePoint(destination)) RemoveLink(destination);
    const bool existed = GetFileAttributesA(destination) != INVALID_FILE_ATTRIBUTES;
    if (CopyFileA(source, destination, FALSE)) {
        log.journal.NoteFile(destination, existed);
    } else {
        log.account.Add(StepAccount::Kind::HostFileNotCopied, destination);
    }
}

}  // namespace

void DeployToHosts(const HostInstallRegistry& registry, bool use2023, bool use2024, bool use2025,
                   bool use2026, InstallLog& log) {
    DeployToHosts(ParentFolder(afx::GetModulePath()), registry, use2023, use2024, use2025, use2026,
                  log);
}

void DeployToHosts(const CString& setupFolder, const HostInstallRegistry& registry, bool use2023,
                   bool use2024, bool use2025, bool use2026, InstallLog& log) {
    for (const HostRelease release : SelectedReleases(use2023, use2024, use2025, use2026)) {
        const CStringArray& folders = registry.hostFolders[HostReleaseIndex(release)];
        for (int i = 0; i < folders.GetSize(); ++i) {
            DeployToHostFolder(setupFolder, folders[i], log);
        }
    }
}

void DeployToHostFolder(const CString& hostFolder, InstallLog& log) {
    DeployToHostFolder(ParentFolder(afx::GetModulePath()), hostFolder, log);
}

void DeployToHostFolder(const CString& setupFolder, const CString& hostFolder, InstallLog& log) {
    CString sourceFolder;
    // The copy passed this check just before; should the package have gone
    // since, the user has been told again and there is nothing to copy.
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return;

    // Not created: a host without a fonts folder gets no fonts.
    const CString fontsFolder = JoinPath(hostFolder, kHostFontsFolder);
    CopyPackageFile(sourceFolder, fontsFolder, kShapeFontEn, log);
    CopyPackageFile(sourceFolder, fontsFolder, kShapeFontHz, log);
    CopyPackageFile(sourceFolder, hostFolder, kPdfLibrary, log);
    for (int year = kFirstHostModuleYear; year <= kLastHostModuleYear; ++year) {
        CopyPackageFile(sourceFolder, hostFolder, HostModuleName(year), log);
    }
}
