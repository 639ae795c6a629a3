// The product's one version and its written forms, shared by the setup, the
// uninstaller and the per-user stage. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "setup_version.h"

// The setup program's version, yyyymmdd: the only version it carries, the
// build's SETUP_VERSION.
constexpr int g_nSetupVersion = SETUP_VERSION;

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

// The same parts as Active Setup compares them, number by number: "2025,10,30".
CString ActiveSetupVersion(int version);

// The Active Setup version for an installation of `version` when the entry
// had `earlier`: a fourth number counts the moves of one version to another
// folder ("2025,10,30,1"), so that every user is served again, from the new
// folder, at the next logon. Never lower than `earlier` for the same version.
CString NextActiveSetupVersion(int version, const CString& earlier, bool moved);
