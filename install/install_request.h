// What an installation is asked to do, and the exit code of how it ended:
// the same for the dialog, an unattended run, a repair and a modify.
#pragma once

#include "framework/afx_string.h"
#include "hosts/host_release.h"
#include "run/run_contract.h"

// Where an installation takes the package from.
enum class PackageSource {
    BesideProgram,  // the package SetUp.exe was started from
    // The package the installation keeps in its folder: Uninstall.exe's
    // repair and modify, into that folder, without the package it came from.
    KeptByInstallation,
};

struct InstallRequest {
    PackageSource source = PackageSource::BesideProgram;
    // Where the package is: the setup program's folder, or the installation
    // folder for the package it keeps (deploy/package_source.h reads both).
    CString setupFolder;
    CString chosenFolder;   // absolute, no trailing backslash (a drive root: "D:")
    CString installFolder;  // the chosen folder and "\T-ZozerIded"
    ReleaseSelection releases;
    // The account that runs the setup has a profile of its own to serve
    // (not the system account or another service account): its host
    // profiles, its settings file and its Active Setup stamp.
    bool servesOwnProfile = true;
    // A silent run: its boxes are answered by nobody at the screen.
    bool unattended = false;
    // The existing chosen folder is one an earlier installation made
    // (FindUnsafeChosenFolders): it gets the protected descriptor again.
    bool protectChosenFolderAnew = false;
};

// The request for an installation into `chosenFolder` (absolute; one
// trailing backslash goes) of the releases, from the package beside this
// program or the one the installation keeps, for the account that runs it.
InstallRequest MakeInstallRequest(CString chosenFolder, const ReleaseSelection& releases,
                                  PackageSource source = PackageSource::BesideProgram);

enum class InstallResult {
    Complete,  // everything was done
    // everything was done, but files in use go at the next restart
    CompleteAtRestart,
    Incomplete,  // installed, but the account lists steps not done
    Aborted,     // the copy was given up (Abort, or the dialog closed): undone
    Failed,      // stopped and undone (the user has been told)
    // nothing done: work queued for the next restart would change a file it
    // writes (the user has been told)
    RestartFirst,
};

// The exit code of a run that ended with the installation's result. A copy
// given up is the user's cancelling when a person answered its box; in a
// silent run the silent boxes gave it up, and it failed.
int ExitCodeOf(InstallResult result, RunMode mode);
