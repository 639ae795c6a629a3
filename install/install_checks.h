// What the setup looks at before it changes anything, the same for the
// dialog and an unattended run: where an earlier installation went, which
// releases are offered, whether the package holds what they need, whether
// the folders are links, and whether users other than administrators may
// change the chosen folder or one above it.
#pragma once

#include <vector>

#include <windows.h>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "hosts/found_hosts.h"
#include "system/folder_access.h"

class RunLog;
struct InstallRequest;

// The folder offered when no earlier installation names one.
constexpr char kDefaultChosenFolder[] = "C:\\Torvex";

// The folder the user chose for the installation that Programs and Features
// knows of: its installation folder without "\T-ZozerIded". Empty when
// there is none.
CString PreviouslyChosenFolder();

// A release with an installation on this machine; 2023 is never offered in
// this version.
bool IsReleaseOffered(const FoundHosts& registry, HostRelease release);
// Every release offered.
ReleaseSelection OfferedReleases(const FoundHosts& registry);

enum class PackageCheck {
    Complete,
    Missing,     // no package beside the program (the user has been told)
    Incomplete,  // the package lacks files the releases need (`missing` names them)
    // The package the installation keeps is not what it recorded (`missing`
    // names what is missing, changed or unknown): nothing is installed from it.
    KeptDamaged,
};
// The package the request installs from, for its releases.
PackageCheck CheckPackage(const InstallRequest& request, std::vector<CString>* missing);
// The kept package's faults: for the log, and for a box.
afx::UiText KeptPackageLogText(const std::vector<CString>& faults);
afx::UiText KeptPackageBoxText(const std::vector<CString>& faults);

// The first of the chosen folder and the installation folder in it that is
// a link, junction or mount point; empty when neither is.
CString LinkedFolderOf(const CString& chosenFolder, const CString& installFolder);

// The chosen folder and the folders above it that users other than
// administrators may change (FindUnsafeFolders). An existing chosen folder
// that an earlier installation into `installFolder` made, as its record
// says (the file, believed only from an installation folder that only
// administrators may change, or the machine's copy), is not judged but
// protected anew by the installation (`*protectAnew`): only an
// administrator could have written that it is the installation's own.
std::vector<UnsafeFolder> FindUnsafeChosenFolders(const CString& chosenFolder,
                                                  const CString& installFolder, bool* protectAnew);

// Which version wins (run/product_version.h): this program's over the
// installed one (record/record_store.h, InstalledVersion), logged. An
// older one over a newer one is refused, unless `allowDowngrade`, in a box
// naming both (answered and logged in the silent modes). False when refused:
// nothing may change.
bool AcceptVersionStep(HWND owner, bool allowDowngrade, RunLog& log);

// The unsafe folders of FindUnsafeChosenFolders:
// one line for the log, and the dialog's warning, which asks whether to
// install into `installFolder` all the same.
afx::UiText UnsafeFoldersLogText(const std::vector<UnsafeFolder>& unsafe);
afx::UiText UnsafeFoldersBoxText(const std::vector<UnsafeFolder>& unsafe,
                                 const CString& installFolder);
