// Removing an installation: exactly what its record lists as the
// installation's own, and nothing outside the places it served.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "lifecycle/install_record.h"

struct UninstallOutcome {
    int removedFiles = 0;
    int removedKeys = 0;
    int removedFolders = 0;
    // What stays although the installation made it: files changed since
    // (another size), entries that could not be removed, and items the
    // record names outside the installation's places.
    std::vector<afx::UiText> left;
};

// Removes the record's new files (when their size is still the installed
// one), its registry entries below each served host's "Applications" key,
// then the record itself and the uninstaller, then the folders it created
// when they are empty. Files that were there before the installation, and
// the user's settings, stay.
UninstallOutcome RemoveInstallation(const InstallRecord& record);

// The final box: what was removed, and what was left and why.
afx::UiText UninstallSummaryText(const UninstallOutcome& outcome);
