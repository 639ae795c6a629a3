// Runs the package check of the executable it is: writes the source folder
// into the file named by its argument; exit code 0 when found. A box is
// answered at once, so the probe never waits for a user.
#include <windows.h>

#include <cstdio>

#include "deploy/package_source.h"
#include "tests/support/box_recorder.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    BoxRecorder answer;
    const afx::ScopedMessageBoxResponder responder(answer);
    CString source;
    const bool found = ResolvePackageSource(source);
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 3;
    std::fputs(source, out);
    std::fclose(out);
    return found ? 0 : 1;
}
