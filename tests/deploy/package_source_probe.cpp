// Runs the package check of the executable it is: writes the source folder
// into the file named by its argument; exit code 0 when found. A box is
// answered at once, so the probe never waits for a user.
#include <windows.h>

#include <cstdio>

#include "deploy/package_source.h"
#include "framework/afx_app_name.h"
#include "tests/support/box_recorder.h"
#include "text/path_text.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    BoxRecorder answer;
    const afx::ScopedMessageBoxResponder responder(answer);
    CString source;
    // Beside the running program, as the setup looks (install/install_request.h).
    const bool found = ResolvePackageSource(ParentFolder(afx::GetModulePath()), source);
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 3;
    std::fputs(source, out);
    std::fclose(out);
    return found ? 0 : 1;
}
