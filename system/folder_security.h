// The installation folder holds code that the hosts load into the sessions
// of whoever starts them: only administrators and the system may change it,
// and nothing is ever written through a link an ordinary user could plant.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/afx_seam.h"

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

// The calls the protection makes on each entry: the file system's own. Wine
// keeps no descriptors on files, so a test records the calls instead.
class ProtectionCalls {
public:
    virtual ~ProtectionCalls() = default;
    // SetNamedSecurityInfo: its error code.
    virtual DWORD SetSecurity(const char* path, SECURITY_INFORMATION what, PSID owner, PACL dacl);
    virtual bool RemoveLink(const char* path);
};

// Gives the folder the installation folder's descriptor, then makes every
// entry below it owned by Administrators with exactly the inherited entries,
// so that files an ordinary user put there beforehand lose their own
// permissions. Links found below it are removed, never followed.
FolderProtection ProtectInstallFolder(const char* folder);
FolderProtection ProtectInstallFolder(const char* folder, ProtectionCalls& calls);

// Who may change a folder the installation creates.
enum class NewFolderAccess {
    // The installation folder's descriptor from the moment the folder
    // exists: the installation folder, the folders above it that it makes,
    // and the folders in it. A folder made below a drive's root would
    // otherwise let every signed-in user rename it and put their own files in
    // its place.
    Protected,
    // What the parent hands down: the user's own settings folder in their
    // application data, which must stay theirs to change.
    Inherited,
};

// Creates one folder (its parent must exist). False, with GetLastError()
// set, when it was not created; ERROR_ALREADY_EXISTS when something is there.
bool CreateFolderWith(const char* folder, NewFolderAccess access);

// Wine keeps no descriptors, so tests see the descriptor each folder was
// created with here: while one is installed, every folder CreateFolderWith
// creates is reported with its descriptor as SDDL (empty for Inherited).
class CreatedFolderRecorder {
public:
    virtual void Created(const char* folder, const std::string& sddl) = 0;

protected:
    ~CreatedFolderRecorder() = default;
};

class ScopedCreatedFolderRecorder : afx::ScopedSeam<CreatedFolderRecorder> {
public:
    explicit ScopedCreatedFolderRecorder(CreatedFolderRecorder& recorder);
};
