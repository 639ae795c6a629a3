#include "verify/verify_files.h"

#include <vector>

#include "deploy/kept_package.h"
#include "deploy/package_layout.h"
#include "deploy/package_manifest.h"
#include "record/file_ownership.h"
#include "record/install_record.h"
#include "record/served_places.h"
#include "text/path_text.h"
#include "verify/findings.h"

namespace {

// Directly in the kept package, which is judged as a whole.
bool InKeptPackage(const ServedPlaces& places, const CString& path) {
    const CString keptPackage = JoinPath(places.InstallFolder(), kPackageDataFolder);
    CString key;
    CString keptKey;
    return places.Keys().KeyOf(path, &key) && places.Keys().KeyOf(keptPackage, &keptKey) &&
           IsDirectlyInFolder(key, keptKey);
}

FilePlace PlaceOfReached(const ServedPlaces& places, const CString& path) {
    const ServedPlaces::Place place = places.PlaceOf(path);
    return place == ServedPlaces::Place::HostFolder || place == ServedPlaces::Place::HostFonts
               ? FilePlace::Host
               : FilePlace::Plugin;
}

}  // namespace

void VerifyRecordedFiles(const InstallRecord& record, const ServedPlaces& places,
                         const PackageManifest* sealed, Findings& findings) {
    for (const InstallRecord::File& file : record.files) {
        // A host's own file, or the user's settings: not the plug-in's.
        if (file.origin != InstallRecord::Origin::New) continue;
        if (InKeptPackage(places, file.path)) {
            if (sealed && !sealed->Find(FileNameOf(file.path))) {
                findings.Note(Verdict::NotAsSealed, file.path);
            }
            continue;
        }
        CString normal;
        switch (ReachServedFile(places, file.path, SettingsFolder::Excluded, &normal)) {
            case FileReach::Outside:
                findings.Note(Verdict::Outside, file.path);
                continue;
            case FileReach::ThroughLink:
                findings.Note(Verdict::ThroughLink, normal);
                continue;
            case FileReach::Reached:
                break;
        }
        const Ownership ownership = JudgeRecordedFile(file, ReadFileNow(normal, file.size));
        findings.Note(JudgeVerifiedFile(PlaceOfReached(places, normal), ownership), normal);
    }
}

void VerifyKeptPackage(const EarlierRecords& earlier, const CString& installFolder,
                       const PackageManifest* sealed, Findings& findings) {
    const CString keptPackage = JoinPath(installFolder, kPackageDataFolder);
    // Each fault by its name in the kept package, or the folder or record
    // that failed as a whole.
    const std::vector<CString> faults = KeptPackageFaults(earlier, installFolder);
    for (const CString& fault : faults) {
        findings.Note(Verdict::NotAsKept,
                      IsAbsolutePath(fault) ? fault : JoinPath(keptPackage, fault));
    }
    if (faults.empty()) findings.Note(Verdict::AsInstalled, keptPackage);
    if (!sealed) return;
    for (const PackageManifest::File& file : sealed->files) {
        // What the package copy never keeps: a file in a subfolder, the
        // setup program and the files that go nowhere.
        if (FileNameOf(file.name) != file.name ||
            ClassifyPackageEntry(file.name) == PackageEntryKind::Skip) {
            continue;
        }
        const CString path = JoinPath(keptPackage, file.name);
        const InstallRecord::File sealedFile{path, file.size, InstallRecord::Origin::New,
                                             file.sha256};
        const Ownership ownership = JudgeRecordedFile(sealedFile, ReadFileNow(path, file.size));
        if (ownership != Ownership::Own && ownership != Ownership::InUse) {
            findings.Note(Verdict::NotAsSealed, path);
        }
    }
}
