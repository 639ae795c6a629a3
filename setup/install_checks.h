// What the setup looks at before it changes anything, the same for the
// dialog and an unattended run: where an earlier installation went, which
// releases are offered, whether the package holds what they need, whether
// the folders are links, and whether users other than administrators may
// change the chosen folder or one above it.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "hosts/host_registry.h"
#include "system/folder_access.h"

// The folder offered when no earlier installation names one.
constexpr char kDefaultChosenFolder[] = "C:\\Torvex";

// The folder the user chose for the installation that Programs and Features
// knows of: its installation folder without "\T-ZozerIded". Empty when
// there is none.
CString PreviouslyChosenFolder();

// A release with an installation on this machine; 2023 is never offered in
// this version.
bool IsReleaseOffered(const HostInstallRegistry& registry, HostRelease release);

enum class PackageCheck {
    Complete,
    Missing,     // no package beside the program (the user has been told)
    Incomplete,  // the package lacks files the releases need (`missing` names them)
};
// The package beside the setup program in `setupFolder`.
PackageCheck CheckPackage(const CString& setupFolder, const ReleaseSelection& releases,
                          std::vector<CString>* missing);

// The first of the chosen folder and the installation folder in it that is
// a link, junction or mount point; empty when neither is.
CString LinkedFolderOf(const CString& chosenFolder, const CString& installFolder);

// The unsafe folders of FindUnsafeFolders (system/folder_access_win32.h):
// one line for the log, and the dialog's warning, which asks whether to
// install into `installFolder` all the same.
afx::UiText UnsafeFoldersLogText(const std::vector<UnsafeFolder>& unsafe);
afx::UiText UnsafeFoldersBoxText(const std::vector<UnsafeFolder>& unsafe,
                                 const CString& installFolder);
