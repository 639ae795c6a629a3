// One setup or uninstall of the plug-in at a time on the whole machine.
#pragma once

#include "framework/scoped_handles.h"

// The machine's one run, held for as long as the handle is; an empty handle
// when another setup or uninstall runs (or holds the name).
afx::ScopedKernelHandle ClaimTheOnlyRun();
