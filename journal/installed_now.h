// What an installation's record holds once it is complete: what is
// installed now, not the union of every version. The record of the
// installation it replaces (an older version, an earlier run of this one, a
// modify with fewer releases, or one moved here) is taken in item by item.
// What this installation installed again keeps its earlier origin. Of the
// rest, what it can reach now goes: files (while they are still the
// plug-in's own, judged by the ownership rule when the line is done), the
// host's own files kept for them back in their places, the entries of the
// running account, then the folders when empty; all as finish lines done
// after the commit, and all out of the record. What it cannot reach now (a
// host folder discovery no longer finds, another account's entries) and the
// user's settings stay in the record as they were. Why an item is no longer
// installed is never asked. Platform-free: the machine is asked through
// ReachNow.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "journal/journal_line.h"
#include "record/install_record.h"
#include "text/place_keys.h"

// Which recorded items this run can act on, and which place a path names:
// an item recorded under another name of a place (a short name, another
// case) is the same item.
class ReachNow : public PlaceKeys {
public:
    // The file lies in a place this run serves: the installation folder, a
    // host folder discovery finds now.
    virtual bool ReachesFile(const CString& path) const = 0;
    // An entry below a served host's "Applications" key in the hive of the
    // account that runs this.
    virtual bool ReachesKey(const CString& key) const = 0;
    // A folder the installation may have made, where this run may act.
    virtual bool ReachesFolder(const CString& folder) const = 0;
    // Discovery finds this host installation now.
    virtual bool ReachesHost(const InstallRecord::Release& release) const = 0;
};

// Takes `earlier` into `record` (what this installation did) as described
// above. Returns the finish lines that remove what is no longer installed:
// files, put-backs, entries (the deepest first), folders (the deepest
// first). Where both kept a host's file of one path, the earlier copy is
// the host's true one, unless this run found the file there changed since
// (a path in `changedSince`): the copies so passed over are added to
// `passedOver`, for the caller to remove after the commit.
std::vector<JournalLine> TakeInEarlier(InstallRecord& record, const InstallRecord& earlier,
                                       const std::vector<CString>& changedSince,
                                       const ReachNow& reach, std::vector<CString>* passedOver);

// Both serve the same host installations (release and folder, whatever its
// name, as `keys` tell): a user's per-user stage would do the same for them.
bool ServeTheSameHosts(const InstallRecord& a, const InstallRecord& b, const PlaceKeys& keys);

class FoundHosts;
class ServedPlaces;

// This machine now (Win32): the files and folders of `places`, the
// entries of the running account when `entriesReached` (it has a profile
// of its own), the hosts discovery found (`hosts`).
class ReachOnThisMachine : public ReachNow {
public:
    ReachOnThisMachine(const ServedPlaces& places, const FoundHosts& hosts, bool entriesReached)
        : m_places(places), m_hosts(hosts), m_entriesReached(entriesReached) {}
    bool KeyOf(const char* path, CString* key) const override;
    bool ReachesFile(const CString& path) const override;
    bool ReachesKey(const CString& key) const override;
    bool ReachesFolder(const CString& folder) const override;
    bool ReachesHost(const InstallRecord::Release& release) const override;

private:
    const ServedPlaces& m_places;
    const FoundHosts& m_hosts;
    const bool m_entriesReached;
};
