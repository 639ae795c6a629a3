// A stand-in for a host process: signals the named event given on its
// command line once it runs, then waits until it is terminated.
#include <windows.h>

int main(int argc, char** argv) {
    if (argc > 1) {
        const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
        if (ready) {
            SetEvent(ready);
            CloseHandle(ready);
        }
    }
    Sleep(INFINITE);
    return 0;
}
