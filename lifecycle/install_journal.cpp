#include "lifecycle/install_journal.h"

#include "lifecycle/file_ops.h"
#include "text/path_text.h"

namespace {

// What a replaced file is called while it is kept aside.
constexpr char kAsideExtension[] = ".setup-old";

CString FreeAsideName(const CString& path) {
    for (int attempt = 1;; ++attempt) {
        const CString name = NumberedName(path, attempt, kAsideExtension);
        if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) return name;
    }
}

void RemoveFile(const char* path) {
    ClearReadOnly(path);
    DeleteFileA(path);
}

}  // namespace

bool InstallJournal::CreateFolder(const CString& path) {
    if (CreateDirectoryA(path, nullptr)) {
        m_changes.push_back({true, path, CString(), 0, 0, InstallRecord::Origin::New});
        return true;
    }
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool InstallJournal::InstallFile(const CString& source, const CString& destination,
                                 InstallRecord::Origin origin) {
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!RemoveLink(destination)) return false;
        attributes = INVALID_FILE_ATTRIBUTES;
    }
    CString aside;
    // A folder in the way stays where it is; the copy fails on it below.
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        aside = FreeAsideName(destination);
        ClearReadOnly(destination);
        if (!MoveFileExA(destination, aside, 0)) {
            const DWORD error = GetLastError();
            SetFileAttributesA(destination, attributes);
            SetLastError(error);
            return false;
        }
    }
    if (!CopyFileA(source, destination, FALSE)) {
        const DWORD error = GetLastError();
        if (!aside.IsEmpty() && MoveFileExA(aside, destination, MOVEFILE_REPLACE_EXISTING)) {
            SetFileAttributesA(destination, attributes);
        }
        SetLastError(error);
        return false;
    }
    // The copy takes the source's attributes along; what is installed stays writable.
    ClearReadOnly(destination);
    const InstallRecord::Origin recorded =
        aside.IsEmpty() || origin == InstallRecord::Origin::Settings
            ? origin
            : InstallRecord::Origin::Replaced;
    m_changes.push_back({false, destination, aside, attributes, FileSize(destination), recorded});
    return true;
}

void InstallJournal::NoteFile(const CString& path, bool existedBefore) {
    m_notedFiles.push_back(
        {path, FileSize(path),
         existedBefore ? InstallRecord::Origin::Replaced : InstallRecord::Origin::New});
}

void InstallJournal::NoteKey(const CString& path, bool existedBefore) {
    m_notedKeys.push_back(
        {path, existedBefore ? InstallRecord::Origin::Replaced : InstallRecord::Origin::New});
}

void InstallJournal::NoteRelease(int year, const CString& hostFolder, const CString& hostKey) {
    m_releases.push_back({year, hostFolder, hostKey});
}

void InstallJournal::Rollback() {
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        if (change->isFolder) {
            RemoveDirectoryA(change->path);
            continue;
        }
        RemoveFile(change->path);
        if (!change->aside.IsEmpty() &&
            MoveFileExA(change->aside, change->path, MOVEFILE_REPLACE_EXISTING)) {
            SetFileAttributesA(change->path, change->oldAttributes);
        }
    }
    m_changes.clear();
}

void InstallJournal::Commit() {
    for (Change& change : m_changes) {
        if (change.aside.IsEmpty()) continue;
        RemoveFile(change.aside);
        // Still in use (a module the host has loaded): gone at the next restart.
        if (GetFileAttributesA(change.aside) != INVALID_FILE_ATTRIBUTES) {
            MoveFileExA(change.aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
        change.aside = CString();
    }
}

InstallRecord InstallJournal::Record(const CString& installFolder) const {
    InstallRecord record;
    record.installFolder = installFolder;
    record.releases = m_releases;
    for (const Change& change : m_changes) {
        if (change.isFolder) {
            record.createdFolders.push_back(change.path);
        } else {
            record.files.push_back({change.path, change.size, change.origin});
        }
    }
    record.files.insert(record.files.end(), m_notedFiles.begin(), m_notedFiles.end());
    record.keys = m_notedKeys;
    return record;
}
