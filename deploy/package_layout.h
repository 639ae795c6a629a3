// The package's layout: the names of its folder and files, and what the
// package copy does with each entry it lists. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "record/install_record.h"

// The plug-in module for release 2023; beside the setup program it marks a
// flat package.
constexpr char kPackageMarkerFile[] = "TX_ZozerIded2023.grx";

// The host modules "GCAD%dP.dll" exist for these years, both included.
constexpr int kFirstHostModuleYear = 2023;
constexpr int kLastHostModuleYear = 2050;

// What goes to the hosts and to the user besides the modules.
constexpr char kShapeFontEn[] = "Torvex_EN.shx";
constexpr char kShapeFontHz[] = "Torvex_HZ.shx";
constexpr char kSettingsFile[] = "Torvex.Ini";
constexpr char kPdfLibrary[] = "itextsharp.dll";

// What the package copy does with one entry of the package listing.
enum class PackageEntryKind {
    Skip,      // the setup program itself and "Torvex.prt5": go nowhere
    Font,      // the shape fonts: only the host deployment copies them
    Settings,  // "Torvex.Ini": into the user's settings folder
    Ordinary,  // everything else: into the installation folder
};

// Matched without regard to case, double-byte aware, as the file system does.
PackageEntryKind ClassifyPackageEntry(const char* name);

// "GCAD%dP.dll" for the year.
CString HostModuleName(int year);
