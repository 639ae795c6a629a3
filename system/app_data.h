// The running user's application-data folder, where a user's settings go.
#pragma once

#include "framework/afx_string.h"

// "APPDATA", or the shell's folder when the variable is missing or
// unusable; empty when neither gives an absolute folder (an empty value
// would put the settings into a folder of whatever drive is current).
CString UserAppDataFolder();
