// What the setup offers before anybody chooses: the folder (where the
// earlier installation went) and the releases (those found on this machine).
#pragma once

#include "framework/afx_string.h"
#include "hosts/found_hosts.h"

class EarlierRecords;

// The folder offered when no earlier installation names one.
constexpr char kDefaultChosenFolder[] = "C:\\Torvex";

// The folder the user chose for the installation that Programs and Features
// knows of (as `earlier` read it): its installation folder without
// "\T-ZozerIded" (under any name of that folder). Empty when there is none.
CString PreviouslyChosenFolder(const EarlierRecords& earlier);

// A release with an installation on this machine; 2023 is never offered in
// this version.
bool IsReleaseOffered(const FoundHosts& hosts, HostRelease release);
// Every release offered.
ReleaseSelection OfferedReleases(const FoundHosts& hosts);
