// Copying the package into the installation folder.
#pragma once

#include "deploy/progress_sink.h"
#include "framework/afx_string.h"

class InstallContext;

// Copies every file of the package source beside the setup program in
// `setupFolder` (or, for a repair or a modify, the package the installation
// keeps: `setupFolder` is then the installation folder) into the
// installation folder (created one level), keeps each file the installation
// uses in the kept package (kPackageDataFolder: fonts and host modules
// included), the settings file into the installation folder's settings copy and, when
// `userSettings`, into the running user's settings folder (keeping the
// user's own settings beside it when they differ), stepping the progress
// once per listing entry and once at its end. Every change goes through the
// journal, so that the caller can undo it. Asks Abort/Retry/Ignore while a
// copy fails; what the user passes over, and settings with nowhere to go,
// are counted in the account. False when the package is missing (the user
// has been told) or the user aborted.
bool CopyPackageFiles(const CString& setupFolder, const CString& installFolder,
                      ProgressSink& progress, InstallContext& install, bool userSettings = true);
