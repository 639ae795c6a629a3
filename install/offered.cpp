#include "install/offered.h"

#include "framework/afx_mbcs.h"
#include "record/record_store.h"
#include "run/product.h"
#include "system/file_identity.h"
#include "text/path_text.h"

CString PreviouslyChosenFolder(const EarlierRecords& earlier) {
    const CString& installed = earlier.EntryFolder();
    // Its name as the file system has it: the entry may name it otherwise
    // (its short name).
    CString named;
    if (!FinalPathOf(installed, &named)) named = installed;
    if (afx::MbsICmp(FileNameOf(named), kInstallFolderName) != 0) return CString();
    const CString chosen = AsFolderPath(ParentFolder(installed));
    return IsAbsolutePath(chosen) ? chosen : CString();
}

bool IsReleaseOffered(const FoundHosts& hosts, HostRelease release) {
    return release != HostRelease::R2023 && hosts.GetHostCount(release) > 0;
}

ReleaseSelection OfferedReleases(const FoundHosts& hosts) {
    ReleaseSelection offered;
    for (const HostRelease release : kHostReleases) {
        offered.Select(release, IsReleaseOffered(hosts, release));
    }
    return offered;
}
