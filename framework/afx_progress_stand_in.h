// A dialog template's progress bar without the common controls library at
// start. The templates use one class of that library, the progress bar
// ("msctls_progress32"), hidden until an installation runs; loading the
// library only to make it took a tenth of the start to the dialog under
// Wine. This module's own class of that name stands in: the dialog manager
// makes a template's bar as a stand-in, which stays the dialog's item (its
// id, text and visibility) and, when it is first shown or sent a bar
// message, loads the library and makes the platform's bar in its place (the
// same parent, position, styles and place among its siblings) while it
// shrinks to nothing. From then on it shows and hides the bar with itself
// and passes every bar message on to it.
#pragma once

#include <windows.h>

namespace afx {

// Registers the stand-in's class for the templates of `module`; true when
// it is registered (now or before).
bool RegisterProgressBarStandIn(HINSTANCE module);

}  // namespace afx
