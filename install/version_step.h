// Which version wins, before a run of the setup changes anything.
#pragma once

#include <windows.h>

class EarlierRecords;
class RunLog;

// This program's version over the installed one (as `earlier` read it:
// EarlierRecords::InstalledVersion), by run/product_version.h's rule, logged.
// An older one over a newer one is refused, unless `allowDowngrade`, in a box
// naming both (answered and logged in the silent modes). False when refused:
// nothing may change.
bool AcceptVersionStep(const EarlierRecords& earlier, HWND owner, bool allowDowngrade, RunLog& log);
