// The framework's report of an error that ended a command: a stop box with
// the platform's own text for the status, captioned with the application's name.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"

// The platform's text for a status (trailing line breaks removed), or the
// status in hexadecimal when the platform has none.
CString AfxErrorText(HRESULT hr);

void AfxReportError(HRESULT hr);
