#include "hosts/found_hosts.h"
#include "journal/installed_now.h"
#include "record/served_places.h"
#include "text/path_text.h"

bool ReachOnThisMachine::ReachesFile(const CString& path) const {
    return m_places.PlaceOf(path) != ServedPlaces::Place::None;
}

bool ReachOnThisMachine::ReachesKey(const CString& key) const {
    return m_entriesReached && m_places.IsApplicationsKey(key);
}

bool ReachOnThisMachine::ReachesFolder(const CString& folder) const {
    return m_places.MayHaveCreated(folder);
}

bool ReachOnThisMachine::ReachesHost(const InstallRecord::Release& release) const {
    HostRelease known;
    if (!HostReleaseFromYear(release.year, &known)) return false;
    for (int i = 0; i < m_hosts.GetHostCount(known); ++i) {
        if (IsSamePath(m_hosts.GetHostFolder(known, i), release.hostFolder)) return true;
    }
    return false;
}
