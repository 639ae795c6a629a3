// The package's layout: the names of its folder and files, and what the
// package copy does with each entry it lists. Platform-free.
#pragma once

#include "framework/afx_string.h"

// The folder beside the setup program that holds the package files.
constexpr char PackageDataFolder[] = "Data";
// The plug-in module for release 2023; beside the setup program it marks a
// flat package.
constexpr char kPackageMarkerFile[] = "TX_ZozerIded2023.grx";

constexpr char kShapeFontEn[] = "Torvex_EN.shx";
constexpr char kShapeFontHz[] = "Torvex_HZ.shx";
constexpr char kSettingsFile[] = "Torvex.Ini";
constexpr char kPdfLibrary[] = "itextsharp.dll";

// Below the user's application-data folder, and below each host folder.
constexpr char kSettingsSubfolder[] = "Torvex";
constexpr char kHostFontsSubfolder[] = "Fonts";

// The host modules "GCAD%dP.dll" exist for these years, both included.
constexpr int kFirstHostModuleYear = 2023;
constexpr int kLastHostModuleYear = 2050;

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

// The folder, a backslash and the name.
CString JoinPath(const CString& folder, const char* name);

// The folder of an executable's full path: everything before its last
// backslash (never a trail byte); empty when there is none.
CString SetupFolderOf(const char* modulePath);

// A name for a new file beside others: `stem` + `extension` for the first
// attempt, `stem` + "-<n>" + `extension` for attempt n from 2 on. Callers
// count attempts until the name is free, so that nothing is overwritten.
CString NumberedName(const CString& stem, int attempt, const char* extension);

// A local date and time, as the backups of the user's settings are named.
struct LocalTimestamp {
    int year, month, day, hour, minute, second;
};

// The stem of the backup kept of a settings file: "<path>.<yyyymmdd-hhmmss>".
CString SettingsBackupStem(const CString& settingsPath, const LocalTimestamp& time);
constexpr char kBackupExtension[] = ".bak";
