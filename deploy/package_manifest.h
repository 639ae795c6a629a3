// What a sealed build of the setup installs: the manifest of its package,
// made by the build from the package's Data folder and carried inside the
// signed program (every file's name relative to that folder, its size and
// its SHA-256). A build without one installs whatever its package holds.
// Platform-free; deploy/package_manifest_win32.h reads the program's own.
#pragma once

#include <string>
#include <vector>

#include "framework/afx_string.h"

struct PackageManifest {
    struct File {
        CString name;  // relative to the Data folder, backslashes
        unsigned long long size = 0;
        CString sha256;
    };
    std::vector<File> files;

    // The file of that relative name, compared as the file system compares
    // names (ASCII letters without regard to case); null when it names none.
    const File* Find(const char* name) const;
};

// The manifest's text, as the build writes it (cmake/make_package_manifest.cmake).
// False when it is not one whole: an unknown first line, a damaged line, a
// name that is empty, absolute, climbs out of the folder or is named twice.
bool ParsePackageManifest(const std::string& text, PackageManifest* manifest);
