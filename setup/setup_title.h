// The product title shown at the top of the setup dialog, made from the
// built-in version number. Platform-free.
#pragma once

#include "framework/afx_string.h"
#include "run/product_version.h"

// "批打印软件 V<major>.<minor>.<patch>", the version as FormatSetupVersion writes it.
CString FormatSetupTitle(int version);
