// The uninstaller's final box: what was removed, and what was left and why.
#pragma once

#include "framework/afx_ui_text.h"
#include "uninstall/removal.h"

afx::UiText UninstallSummaryText(const UninstallOutcome& outcome);
