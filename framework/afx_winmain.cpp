// The GUI entry point, kept apart so that only programs link it (test
// executables bring their own main).
#include <windows.h>

#include "framework/afx_app.h"

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

// This installer runs elevated, often straight out of a download folder that
// may hold anything: libraries loaded by name from now on (by us, the shell
// or the common controls) come from the system folder only, never from
// beside the executable (DLL planting).
void RestrictLibrarySearchToSystemFolder() {
    // Looked up rather than imported: Windows 7 without update KB2533623
    // lacks the function, and an import would keep the program from starting.
    // kernel32 is always loaded, so looking it up loads nothing.
    const FARPROC proc =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    if (proc) {
        const auto setDefaultDllDirectories =
            reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(proc));
        if (setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    }
    // Without it, at least take the current folder out of the search.
    SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearchToSystemFolder();  // before anything else
    return AfxWinMain();
}
