// The record an installation leaves in its folder: which folders, files and
// registry entries it created or replaced, for which releases and hosts, so
// that the uninstaller removes exactly what the installation added and a
// person asking for support can read what happened. Plain text in the ANSI
// code page, in the line form of record/record_fields.h. Platform-free.
#pragma once

#include <vector>

#include "framework/afx_string.h"

// The record's file name in the installation folder.
extern const char kInstallRecordName[];
// Where the host files an installation replaced are kept, in its folder.
extern const char kKeptFilesFolder[];
// Where the package's settings file is kept, in its folder, for the users
// the per-user stage serves after the package is gone.
extern const char kSettingsCopyFolder[];
// The folder of a package that holds its files: beside the setup program,
// and the copy of the whole package an installation keeps in its folder for
// the repair and the modify the uninstaller runs after the package is gone.
// One name, so that the installation folder, with Uninstall.exe in it,
// reads as a package (deploy/package_source.h).
constexpr char kPackageDataFolder[] = "Data";

struct InstallRecord {
    enum class Origin {
        New,       // the installation created it: the uninstaller removes it
        Replaced,  // it was there before: the uninstaller leaves it
        Settings,  // the user's settings: always left
    };
    struct File {
        CString path;
        unsigned long long size;  // as installed
        Origin origin;
        // SHA-256 of the bytes installed, 64 lower-case hexadecimal digits;
        // empty in a record of an earlier version, which kept none.
        CString sha256 = CString();
    };
    struct Key {
        CString path;  // below HKEY_CURRENT_USER
        Origin origin;
    };
    // A host's own file the installation replaced, kept in the installation
    // folder to be put back when the plug-in goes.
    struct KeptFile {
        CString path;    // in the host folder
        CString keptAs;  // in the installation folder
    };
    struct Release {
        int year;
        CString hostFolder;
        CString hostKey;  // below HKEY_CURRENT_USER, ending with a backslash
    };

    CString version;
    CString installFolder;
    std::vector<Release> releases;
    std::vector<CString> createdFolders;  // in the order they were created
    std::vector<File> files;
    std::vector<Key> keys;
    std::vector<KeptFile> keptFiles;
};

CString FormatInstallRecord(const InstallRecord& record);
// False when a line the record needs is malformed; lines of unknown kinds
// and comments are passed over.
bool ParseInstallRecord(const char* text, InstallRecord* record);
