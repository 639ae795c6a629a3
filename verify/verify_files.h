// The files of an installation as Uninstall.exe /VERIFY judges them: each by
// the ownership rule (record/file_ownership.h), reached only within the
// places served now and never through a link (record/served_places.h).
// Reads only.
#pragma once

#include "framework/afx_string.h"

class EarlierRecords;
class Findings;
class ServedPlaces;
struct InstallRecord;
struct PackageManifest;

// Each file the record names as the plug-in's, outside the kept package: in
// the installation folder (a file missing or changed is damage) and in each
// host folder and its fonts folder (a file missing is damage, one changed
// since is the CAD's own). `sealed`, the manifest of a sealed program (else
// null), must name every file the record keeps in the kept package.
void VerifyRecordedFiles(const InstallRecord& record, const ServedPlaces& places,
                         const PackageManifest* sealed, Findings& findings);

// The kept package as a repair believes it (deploy/kept_package.h): every
// file recorded and as recorded, none missing, none added. Of a sealed
// program, also every file its manifest has an installation keep, of the
// manifest's size and SHA-256.
void VerifyKeptPackage(const EarlierRecords& earlier, const CString& installFolder,
                       const PackageManifest* sealed, Findings& findings);
