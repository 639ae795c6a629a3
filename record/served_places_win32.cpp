#include <algorithm>

#include "hosts/found_hosts.h"
#include "record/install_record.h"
#include "record/served_places.h"
#include "run/product.h"
#include "system/app_data.h"
#include "system/file_ops.h"
#include "text/path_text.h"

bool PassesThroughLink(const CString& servedFolder, const CString& path) {
    CString served;
    CString at;
    CString servedKey;
    // A path that names no one place cannot be shown to be clear.
    if (!NormalizePath(servedFolder, &served) || !NormalizePath(path, &at) ||
        !CanonicalPath(served, &servedKey)) {
        return true;
    }
    // From the path up to the served folder, the folder itself included.
    for (;;) {
        if (IsReparsePoint(at)) return true;
        CString atKey;
        if (!CanonicalPath(at, &atKey) || atKey == servedKey || !IsWithinFolder(atKey, servedKey)) {
            return false;
        }
        at = AsFolderPath(ParentFolder(at));
    }
}

FileReach ReachServedFile(const ServedPlaces& places, const CString& path, SettingsFolder settings,
                          CString* normal) {
    const ServedPlaces::Location at = places.Locate(path);
    if (at.place == ServedPlaces::Place::None ||
        (at.place == ServedPlaces::Place::Settings && settings == SettingsFolder::Excluded)) {
        return FileReach::Outside;
    }
    *normal = at.path;
    return PassesThroughLink(at.linkFree, *normal) ? FileReach::ThroughLink : FileReach::Reached;
}

ServedPlaces FindServedPlaces(const CString& installFolder, const InstallRecord* record,
                              const FoundHosts& hosts) {
    ServedPlaces places(installFolder);
    for (const HostRelease release : kHostReleases) {
        const bool recorded =
            !record || std::any_of(record->releases.begin(), record->releases.end(),
                                   [&](const InstallRecord::Release& r) {
                                       return r.year == HostReleaseYear(release);
                                   });
        if (!recorded) continue;
        for (int i = 0; i < hosts.GetHostCount(release); ++i) {
            places.AddHost(hosts.GetHostFolder(release, i), hosts.GetHostKey(release, i));
        }
    }
    const CString appData = UserAppDataFolder();
    if (!appData.IsEmpty()) places.AddSettingsFolder(JoinPath(appData, kSettingsSubfolder));
    return places;
}
