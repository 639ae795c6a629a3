// The product's one version and its written forms, shared by the setup, the
// uninstaller and the per-user stage. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "setup_version.h"

// The setup program's version, yyyymmdd: the only version it carries, the
// build's SETUP_VERSION.
constexpr int kSetupVersion = SETUP_VERSION;

// The version's numbers, as Programs and Features reads the first two
// (VersionMajor, VersionMinor).
struct SetupVersionParts {
    int year;
    int month;
    int day;
};
SetupVersionParts SplitSetupVersion(int version);

// "<major>.<minor>.<patch>" with major = version / 10000, minor =
// (version % 10000) / 100 and patch = version % 100; minor and patch always
// show at least two digits.
CString FormatSetupVersion(int version);

// The Active Setup version for an installation of `version` when the entry
// had `earlier`. Active Setup runs a user's stage at logon when the entry's
// version is greater, number by number, than the user's stamp, so it never
// goes down: an upgrade gives its own numbers ("2026,3,15"), and where
// those would not be greater (a rollback to an older version, the same
// version again) the earlier numbers stay, their fourth counting up when
// every user must be served again (`serveAgain`: another version, another
// folder, other hosts), "2026,3,15,1". An entry that is no version (more
// than four numbers, one above 65535, anything but digits) counts as none.
CString NextActiveSetupVersion(int version, const CString& earlier, bool serveAgain);

// The version a record names, as FormatSetupVersion writes it ("2025.10.30"):
// yyyymmdd, or 0 when the text is no such version.
int ParseSetupVersion(const char* text);

// What an installation of `version` is over the installed one (0: none, or
// none known).
enum class VersionStep {
    Install,    // nothing installed
    Upgrade,    // newer than the installed one
    Repair,     // the same version again
    Downgrade,  // older: refused, nothing changed
    Rollback,   // older, and asked for (/ALLOWDOWNGRADE): an upgrade in reverse
};
VersionStep StepOver(int installed, int version, bool allowDowngrade);
