// What the framework knows of the running application without a window.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"

namespace afx {

// The application's name: the executable's file name without its extension
// (the application object is created without a name of its own).
CString GetAppName();

// The full path of the running executable, of any length.
CString GetModulePath();

// The main window that the application object names (CWinApp::m_pMainWnd),
// or null when there is none or no application object.
HWND GetMainWindow();

}  // namespace afx
