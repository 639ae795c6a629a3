// What is checked before an installation changes anything, written once for
// every kind of run, in this order: a running host; the folder text
// (absolute, or refused); the releases; the package (for a repair or a
// modify, first the package the installation keeps, as its record says); a
// link at the chosen folder or the installation folder in it; the folders
// users other than administrators may change. Nothing is created before
// every check passed. A presenter says what was found
// (install/check_presenters.h): in boxes that may ask (the dialog, an
// interactive repair), or in the log, refusing whatever a person would be
// asked (the silent modes).
#pragma once

#include <utility>
#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "install/install_request.h"
#include "system/folder_access.h"

class EarlierRecords;

// Why nothing is installed; each has one exit code (ExitCodeOfRefusal).
enum class Refusal {
    None,                // every check passed
    HostRunning,         // a host runs: try again later
    InvalidFolder,       // the folder text is not absolute (or empty)
    NoRelease,           // no release to serve
    NoPackage,           // nothing beside the program (the user has been told)
    IncompletePackage,   // the package lacks files the releases need
    KeptPackageDamaged,  // the kept package is not what the installation recorded
    LinkedFolder,        // a link, junction or mount point where the files would go
    UnsafeFolders,       // users other than administrators may change the folder
    Declined,            // asked about such a folder, the person chose not to install there
};

// A refusal and what it names.
struct Refused {
    Refused(Refusal why, const CString& folderNamed = CString(),
            std::vector<CString> filesNamed = {}, std::vector<UnsafeFolder> unsafeNamed = {})
        : refusal(why),
          folder(folderNamed),
          files(std::move(filesNamed)),
          unsafe(std::move(unsafeNamed)) {}

    Refusal refusal;
    CString folder;                    // InvalidFolder: the text; LinkedFolder: the link
    std::vector<CString> files;        // IncompletePackage, KeptPackageDamaged: what fails
    std::vector<UnsafeFolder> unsafe;  // UnsafeFolders
};

class CheckPresenter {
public:
    virtual ~CheckPresenter() = default;
    // False once a running host is no longer looked for.
    virtual bool LooksForRunningHost() const = 0;
    // The folder text passed: the request names the installation folder.
    virtual void FolderChosen(const InstallRequest& request) = 0;
    // Says why nothing is installed.
    virtual void Refuse(const Refused& refused) = 0;
    // A person may be asked whether to install into a folder that users
    // other than administrators may change; otherwise it is refused.
    virtual bool MayAsk() const = 0;
    // Asks it; true to install there all the same.
    virtual bool InstallThereAllTheSame(const std::vector<UnsafeFolder>& unsafe,
                                        const CString& installFolder) = 0;
};

// What a person or a command line chose.
struct InstallChoice {
    CString folderText;  // as typed or given
    ReleaseSelection releases;
    PackageSource source = PackageSource::BesideProgram;
};

// The checks, on what was chosen, judged with what `earlier` read of the
// earlier installation. Once the folder text is absolute, `request` is the
// installation's, whatever a later check finds.
Refusal CheckBeforeInstalling(const InstallChoice& choice, const EarlierRecords& earlier,
                              CheckPresenter& presenter, InstallRequest* request);

// The exit code of a run a check refused (run/run_contract.h).
int ExitCodeOfRefusal(Refusal refusal);

// The refusal as the log says it; empty for none, and for a person's answer
// (logged when it is given).
afx::UiText RefusalLogText(const Refused& refused);
