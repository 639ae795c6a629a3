// What is looked at in the chosen folder before an installation writes into
// it: links in its place, and who other than administrators may change it or
// a folder above it.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "system/folder_access.h"

class EarlierRecords;

// The first of the chosen folder and the installation folder in it that is
// a link, junction or mount point; empty when neither is.
CString LinkedFolderOf(const CString& chosenFolder, const CString& installFolder);

// The chosen folder and the folders above it that users other than
// administrators may change (FindUnsafeFolders). An existing chosen folder
// that an earlier installation into `installFolder` made, as its record
// says (as `earlier` read it: the file, believed only from an installation
// folder that only administrators may change, or the machine's copy), is
// not judged but protected anew by the installation (`*protectAnew`): only
// an administrator could have written that it is the installation's own.
std::vector<UnsafeFolder> FindUnsafeChosenFolders(const CString& chosenFolder,
                                                  const CString& installFolder,
                                                  const EarlierRecords& earlier, bool* protectAnew);

// The unsafe folders of FindUnsafeChosenFolders: one line for the log, and
// the dialog's warning, which asks whether to install into `installFolder`
// all the same.
afx::UiText UnsafeFoldersLogText(const std::vector<UnsafeFolder>& unsafe);
afx::UiText UnsafeFoldersBoxText(const std::vector<UnsafeFolder>& unsafe,
                                 const CString& installFolder);
