// What the per-user stage did, undone in every profile of the machine.
#pragma once

#include "framework/afx_string.h"

class RunLog;
struct UninstallOutcome;

// Removes the installation's Active Setup entry; then in the running
// account's own hive, and in the hive of every user profile the machine
// lists (loaded now, or loaded from its file for the while; service
// accounts have none to serve), the entries that profile's own record
// lists, the record, the RunOnce value and the Active Setup stamp. A record
// in a hive is input: only its entries below the "Applications" key of a
// host discovery finds for that user now go, never through a link, and
// nothing else of the hive is touched. A hive that cannot be reached is
// logged and named in the outcome; the settings files stay. False when the
// Active Setup entry could not be removed (named in the outcome): the stage
// it starts must then stay.
bool RemoveFromUserProfiles(const CString& installFolder, UninstallOutcome& outcome, RunLog& log);
