#include "system/folder_security.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstring>

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"
#include "system/file_ops.h"
#include "system/privileges.h"

const char kInstallFolderSddl[] = "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

namespace {

constexpr SECURITY_INFORMATION kFolderInformation =
    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
// Entries below keep nothing of their own: the owner, and only what the
// folder hands down.
constexpr SECURITY_INFORMATION kEntryInformation =
    OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION;

bool VolumeKeepsAcls(const char* folder) {
    char root[MAX_PATH];
    DWORD flags = 0;
    if (!GetVolumePathNameA(folder, root, MAX_PATH) ||
        !GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
        return true;  // unknown: try, and report what fails
    }
    return (flags & FILE_PERSISTENT_ACLS) != 0;
}

CreatedFolderRecorder* g_createdFolderRecorder = nullptr;

// The descriptor as the recorder sees it; empty when it cannot be read.
std::string AsSddl(PSECURITY_DESCRIPTOR descriptor) {
    char* text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
            &text, nullptr)) {
        return std::string();
    }
    const SecurityDescriptorPtr owned(text);
    return text;
}

bool IsDotEntry(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Every entry below the folder: owned by Administrators, only inherited
// entries; links removed. False at the first entry that cannot be set.
bool ResetEntriesBelow(const CString& folder, PSID owner, PACL emptyDacl, ProtectionCalls& calls) {
    WIN32_FIND_DATAA entry;
    const afx::ScopedFindHandle listing(FindFirstFileA(folder + "\\*", &entry));
    if (!listing) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        const CString path = folder + "\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (!calls.RemoveLink(path)) return false;
            continue;
        }
        const DWORD error = calls.SetSecurity(path, kEntryInformation, owner, emptyDacl);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return false;
        }
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !ResetEntriesBelow(path, owner, emptyDacl, calls)) {
            return false;
        }
    } while (FindNextFileA(listing.Get(), &entry));
    return true;
}

}  // namespace

SecurityDescriptorPtr BuildInstallFolderSecurity() {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kInstallFolderSddl, SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return nullptr;
    }
    return SecurityDescriptorPtr(descriptor);
}

DWORD ProtectionCalls::SetSecurity(const char* path, SECURITY_INFORMATION what, PSID owner,
                                   PACL dacl) {
    return SetNamedSecurityInfoA(const_cast<char*>(path), SE_FILE_OBJECT, what, owner, nullptr,
                                 dacl, nullptr);
}

bool ProtectionCalls::RemoveLink(const char* path) {
    return ::RemoveLink(path);
}

FolderProtection ProtectInstallFolder(const char* folder) {
    ProtectionCalls calls;
    return ProtectInstallFolder(folder, calls);
}

FolderProtection ProtectInstallFolder(const char* folder, ProtectionCalls& calls) {
    if (!VolumeKeepsAcls(folder)) return FolderProtection::VolumeKeepsNoAcls;
    const SecurityDescriptorPtr descriptor = BuildInstallFolderSecurity();
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    BOOL present = FALSE;
    if (!descriptor || !GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted) || !present) {
        return FolderProtection::Failed;
    }
    // An administrator may take over and rewrite files whose permissions shut
    // administrators out.
    const ScopedPrivileges privileges({SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME});
    const DWORD error = calls.SetSecurity(folder, kFolderInformation, owner, dacl);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FolderProtection::Failed;
    }
    // An empty DACL, not a null one: null would grant everyone everything.
    ACL emptyDacl;
    if (!InitializeAcl(&emptyDacl, sizeof(emptyDacl), ACL_REVISION))
        return FolderProtection::Failed;
    return ResetEntriesBelow(folder, owner, &emptyDacl, calls) ? FolderProtection::Applied
                                                               : FolderProtection::Failed;
}

bool CreateFolderWith(const char* folder, NewFolderAccess access) {
    SecurityDescriptorPtr descriptor;
    if (access == NewFolderAccess::Protected) {
        descriptor = BuildInstallFolderSecurity();
        if (!descriptor) return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor.get(), FALSE};
    if (!CreateDirectoryA(folder, descriptor ? &attributes : nullptr)) return false;
    if (g_createdFolderRecorder) {
        g_createdFolderRecorder->Created(folder,
                                         descriptor ? AsSddl(descriptor.get()) : std::string());
    }
    return true;
}

ScopedCreatedFolderRecorder::ScopedCreatedFolderRecorder(CreatedFolderRecorder& recorder)
    : ScopedSeam(g_createdFolderRecorder, recorder) {}
