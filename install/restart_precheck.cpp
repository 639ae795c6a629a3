#include "install/restart_precheck.h"

#include <algorithm>
#include <vector>

#include "deploy/host_deployment.h"
#include "deploy/package_layout.h"
#include "hosts/found_hosts.h"
#include "install/install_request.h"
#include "journal/pending_restart.h"
#include "record/served_places.h"
#include "run/product.h"
#include "system/app_data.h"
#include "text/path_text.h"

namespace {

// What the installation may write outside its own folder, canonical: the
// host files of its releases and the account's settings file.
std::vector<CString> WrittenOutside(const InstallRequest& request, const FoundHosts& hosts) {
    std::vector<CString> paths;
    for (const HostRelease release : request.releases.Releases()) {
        const CStringArray& folders = hosts.hostFolders[HostReleaseIndex(release)];
        for (int i = 0; i < folders.GetSize(); ++i) {
            for (const CString& path : HostFilePaths(folders[i])) {
                CString canonical;
                if (CanonicalPath(path, &canonical)) paths.push_back(canonical);
            }
        }
    }
    const CString appData = UserAppDataFolder();
    CString settings;
    if (request.servesOwnProfile && !appData.IsEmpty() &&
        CanonicalPath(JoinPath(JoinPath(appData, kSettingsSubfolder), kSettingsFile), &settings)) {
        paths.push_back(settings);
    }
    return paths;
}

}  // namespace

CString QueuedForTheRestart(const InstallRequest& request, const FoundHosts& hosts) {
    const std::vector<CString> outside = WrittenOutside(request, hosts);
    const ServedPlaces own(request.installFolder);
    return RestartQueue().FirstOtherFor([&](const CString& path) {
        const ServedPlaces::Place place = own.PlaceOf(path);
        return place == ServedPlaces::Place::InstallFolder ||
               place == ServedPlaces::Place::KeptFiles ||
               std::find(outside.begin(), outside.end(), path) != outside.end();
    });
}
