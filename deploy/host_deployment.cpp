#include "deploy/host_deployment.h"

#include <windows.h>

#include "deploy/package_layout.h"
#include "deploy/package_source.h"
#include "hosts/host_contract.h"
#include "journal/install_context.h"
#include "record/install_record.h"
#include "record/served_places.h"
#include "system/file_ops.h"
#include "text/path_text.h"

namespace {

// Puts one package file into a host folder through the journal, which
// replaces any old file and never writes through a link in its place. A
// host's own file of the same name is kept in the installation folder, to
// be put back when the plug-in goes. A file the package lacks is no failure
// (the package check has made sure of the ones the releases need); a
// destination that cannot be written, or that lies behind a link, is.
void CopyPackageFile(const CString& sourceFolder, const CString& hostFolder,
                     const CString& destination, const CString& keepFolder,
                     InstallContext& install) {
    const CString source = JoinPath(sourceFolder, FileNameOf(destination));
    if (GetPathKind(source) != PathKind::File) return;
    if (PassesThroughLink(hostFolder, ParentFolder(destination))) {
        install.log.Write(afx::UiText("not through a link: ") + afx::UiText::System(destination));
        install.notDone.Add(StepsNotDone::Kind::HostFileNotCopied, destination);
        return;
    }
    if (!install.journal.InstallFile(source, destination, InstallRecord::Origin::New, keepFolder)) {
        install.notDone.Add(StepsNotDone::Kind::HostFileNotCopied, destination);
    }
}

}  // namespace

void DeployToHosts(const CString& setupFolder, const FoundHosts& registry,
                   const ReleaseSelection& releases, const CString& installFolder,
                   InstallContext& install) {
    // Without an installation folder (a step run on its own) there is
    // nowhere to keep a host's files: they are replaced as any other.
    const CString keepFolder =
        installFolder.IsEmpty() ? CString() : JoinPath(installFolder, kKeptFilesFolder);
    for (const HostRelease release : releases.Releases()) {
        const CStringArray& folders = registry.hostFolders[HostReleaseIndex(release)];
        const CStringArray& keys = registry.hostKeys[HostReleaseIndex(release)];
        for (int i = 0; i < folders.GetSize(); ++i) {
            // Served, whoever runs the setup: a service account registers
            // nothing of its own.
            if (i < keys.GetSize()) {
                install.journal.NoteRelease(HostReleaseYear(release), folders[i], keys[i]);
            }
            DeployToHostFolder(setupFolder, folders[i], keepFolder, install);
        }
    }
}

void DeployToHostFolder(const CString& setupFolder, const CString& hostFolder,
                        const CString& keepFolder, InstallContext& install) {
    CString sourceFolder;
    // The copy passed this check just before; should the package have gone
    // since, the user has been told again and there is nothing to copy.
    if (!ResolvePackageSource(setupFolder, sourceFolder)) return;

    const CString fontsFolder = JoinPath(hostFolder, kHostFontsFolder);
    if (GetPathKind(fontsFolder) != PathKind::Folder) {
        install.log.Write(afx::UiText("no fonts folder, no fonts: ") +
                          afx::UiText::System(fontsFolder));
    }
    for (const CString& destination : HostFilePaths(hostFolder)) {
        CopyPackageFile(sourceFolder, hostFolder, destination, keepFolder, install);
    }
}

std::vector<CString> HostFilePaths(const CString& hostFolder) {
    std::vector<CString> paths;
    // Not created: a host without a fonts folder gets no fonts, and that is
    // no failure.
    const CString fontsFolder = JoinPath(hostFolder, kHostFontsFolder);
    if (GetPathKind(fontsFolder) == PathKind::Folder) {
        paths.push_back(JoinPath(fontsFolder, kShapeFontEn));
        paths.push_back(JoinPath(fontsFolder, kShapeFontHz));
    }
    paths.push_back(JoinPath(hostFolder, kPdfLibrary));
    for (int year = kFirstHostModuleYear; year <= kLastHostModuleYear; ++year) {
        paths.push_back(JoinPath(hostFolder, HostModuleName(year)));
    }
    return paths;
}
