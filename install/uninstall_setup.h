// What makes an installation one that can be uninstalled, in this order,
// each checked before the next: its uninstaller (a copy of this program),
// its record (what is installed now) and the Programs and Features entry
// that names them.
#pragma once

#include "framework/afx_string.h"

class EarlierInstallations;
class InstallContext;
class ReachNow;

struct UninstallSetUp {
    bool uninstallable = false;  // the uninstaller and the record are written and checked
    bool entered = false;        // and the entry names them
    // Another version, or other hosts served: every user's stage has work to do.
    bool servesUsersAgain = false;
};

// The uninstaller, the record (what this run installed, with what the
// earlier installations had that it cannot `reach`) and the entry into
// `installFolder`; nothing of the entry when the first two are not complete,
// and an entry of that folder (`entryFolder`, as the run found it) removed
// then: no entry may name an uninstaller that cannot work.
UninstallSetUp SetUpUninstall(const CString& installFolder, const CString& entryFolder,
                              EarlierInstallations& earlier, const ReachNow& reach,
                              InstallContext& install);
