// The product's one version and its written forms, shared by the setup, the
// uninstaller and the per-user stage. Platform-free.
#pragma once

#include "framework/afx_string.h"

// The setup program's version, yyyymmdd: the only version it carries.
constexpr int g_nSetupVersion = 20251030;

// "<major>.<minor>.<patch>" with major = version / 10000, minor =
// (version % 10000) / 100 and patch = version % 100; minor and patch always
// show at least two digits.
CString FormatSetupVersion(int version);

// The same parts as Active Setup compares them, number by number: "2025,10,30".
CString ActiveSetupVersion(int version);
