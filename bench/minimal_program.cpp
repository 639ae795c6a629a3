// The per-user stage's baseline: a program linked as UserSetup.exe is
// (statically, GUI subsystem) that starts and ends. What the stage adds to
// a logon is its time over this one's.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
