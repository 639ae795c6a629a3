// The uninstaller's final box and exit code: what was removed, and what was
// left and why.
#pragma once

#include "framework/afx_ui_text.h"
#include "uninstall/uninstall_outcome.h"

afx::UiText UninstallSummaryText(const UninstallOutcome& outcome);

// As the installation's: 1603 when a step was not done (an item that could
// not be removed, a profile that could not be cleared), else 3010 when the
// next restart completes it, else 0.
int UninstallExitCode(const UninstallOutcome& outcome);
