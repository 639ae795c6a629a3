// A dialog template's progress bar without the common controls library at
// start. The templates use one class of that library, the progress bar
// ("msctls_progress32"), hidden until an installation runs; loading the
// library only to make it took a fifth of the start to the dialog under
// Wine. This module's own class of that name stands in: the dialog manager
// makes a template's bar as a stand-in, which loads the library and makes
// the platform's bar inside itself, filling it, when it is first shown or
// sent a bar message, and passes every bar message on to it.
#pragma once

#include <windows.h>

namespace afx {

// Registers the stand-in's class for the templates of `module`; true when
// it is registered (now or before).
bool RegisterProgressBarStandIn(HINSTANCE module);

}  // namespace afx
