#include "hosts/found_hosts.h"
#include "journal/installed_now.h"
#include "record/served_places.h"
#include "text/path_text.h"

bool ReachOnThisMachine::KeyOf(const char* path, CString* key) const {
    return m_places.Keys().KeyOf(path, key);
}

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
    const KnownPlaces places(m_places.Keys());
    for (int i = 0; i < m_hosts.GetHostCount(known); ++i) {
        if (places.Same(m_hosts.GetHostFolder(known, i), release.hostFolder)) return true;
    }
    return false;
}
