// The product title shown at the top of the setup dialog, made from the
// built-in version number. Platform-free.
#pragma once

#include "framework/afx_string.h"

// The setup program's version, yyyymmdd: the only version it carries.
constexpr int g_nSetupVersion = 20251030;

// "批打印软件 V<major>.<minor>.<patch>" with major = version / 10000,
// minor = (version % 10000) / 100 and patch = version % 100; minor and
// patch always show at least two digits.
CString FormatSetupTitle(int version);

// The version alone, "<major>.<minor>.<patch>" as in the title.
CString FormatSetupVersion(int version);
