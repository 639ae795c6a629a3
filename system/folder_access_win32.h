// A folder's owner and access list as Windows keeps them, read into the
// platform-free form the judgement takes (system/folder_access.h).
#pragma once

#include "system/folder_access.h"

// Reads one folder. A missing folder is State::Missing; one whose
// descriptor cannot be read is State::Unreadable.
FolderAccess ReadFolderAccess(const CString& folder);

// The chosen folder and every folder above it, read and judged: the unsafe
// ones, nearest first. The chosen folder, when it exists, is not judged
// when it is to be `protectedAnew` (FolderAccess::State::ProtectedAnew).
std::vector<UnsafeFolder> FindUnsafeFolders(const CString& chosenFolder,
                                            bool protectedAnew = false);
