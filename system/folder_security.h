// The installation folder holds code that the hosts load into the sessions
// of whoever starts them: only administrators and the system may change it,
// and nothing is ever written through a link an ordinary user could plant.
#pragma once

#include <windows.h>

#include <memory>

// Owner Administrators; a protected DACL that everything below inherits:
// SYSTEM and Administrators full control, Users read and execute (the shape
// of the system's own program folder).
extern const char kInstallFolderSddl[];

struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
};
using SecurityDescriptorPtr = std::unique_ptr<void, LocalFreeDeleter>;

// kInstallFolderSddl as a self-relative security descriptor; null on failure.
SecurityDescriptorPtr BuildInstallFolderSecurity();

enum class FolderProtection {
    Applied,            // the folder and everything in it carry the descriptor
    VolumeKeepsNoAcls,  // FAT and the like: there is nothing to set
    Failed,             // GetLastError() tells why
};

// Gives the folder the installation folder's descriptor, then makes every
// entry below it owned by Administrators with exactly the inherited entries,
// so that files an ordinary user put there beforehand lose their own
// permissions. Links found below it are removed, never followed.
FolderProtection ProtectInstallFolder(const char* folder);
