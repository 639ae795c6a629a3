// The GUI entry point, kept apart so that only programs link it (test
// executables bring their own main).
#include <windows.h>

#include "framework/afx_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return AfxWinMain();
}
