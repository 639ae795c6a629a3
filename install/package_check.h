// Whether the package an installation takes its files from holds what its
// releases need, and for a repair or a modify whether the package the
// installation keeps is still what it recorded.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"

class EarlierRecords;
struct InstallRequest;

enum class PackageCheck {
    Complete,
    Missing,     // no package beside the program (the user has been told)
    Incomplete,  // the package lacks files the releases need (`missing` names them)
    // The package the installation keeps is not what it recorded (`missing`
    // names what is missing, changed or unknown): nothing is installed from it.
    KeptDamaged,
};
// The package the request installs from, for its releases; the kept one
// judged against the record as `earlier` read it.
PackageCheck CheckPackage(const InstallRequest& request, const EarlierRecords& earlier,
                          std::vector<CString>* missing);

// The kept package's faults: for the log, and for a box.
afx::UiText KeptPackageLogText(const std::vector<CString>& faults);
afx::UiText KeptPackageBoxText(const std::vector<CString>& faults);
