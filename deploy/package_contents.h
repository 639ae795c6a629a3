// Which package files an installation of the chosen releases cannot do
// without: every file that registration names and that host deployment
// needs. Platform-free.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "hosts/host_release.h"

// In release order, each name once: the main module and the companion
// module of every selected release, then the PDF library and the two
// shape fonts.
std::vector<CString> RequiredPackageFiles(const ReleaseSelection& releases);

// The box that names the missing files, one per line.
afx::UiText IncompletePackageText(const std::vector<CString>& missing);
