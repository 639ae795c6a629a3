#include "install/restart_precheck.h"

#include "deploy/host_deployment.h"
#include "deploy/package_layout.h"
#include "hosts/found_hosts.h"
#include "install/install_request.h"
#include "removal/restart_queue.h"
#include "run/product.h"
#include "system/app_data.h"
#include "text/path_text.h"

namespace {

WrittenPlaces WrittenByInstallation(const InstallRequest& request, const FoundHosts& hosts) {
    WrittenPlaces written;
    written.folders.push_back(request.installFolder);
    for (const HostRelease release : request.releases.Releases()) {
        const CStringArray& folders = hosts.hostFolders[HostReleaseIndex(release)];
        for (int i = 0; i < folders.GetSize(); ++i) {
            for (const CString& path : HostFilePaths(folders[i])) written.files.push_back(path);
        }
    }
    const CString appData = UserAppDataFolder();
    if (request.servesOwnProfile && !appData.IsEmpty()) {
        written.files.push_back(JoinPath(JoinPath(appData, kSettingsSubfolder), kSettingsFile));
    }
    return written;
}

}  // namespace

CString QueuedForTheRestart(const InstallRequest& request, const FoundHosts& hosts) {
    return RestartQueue().FirstOtherOn(WrittenByInstallation(request, hosts));
}
