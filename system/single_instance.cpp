#include "system/single_instance.h"

#include <windows.h>

namespace {

// In the global namespace: every session of the machine sees it.
constexpr char kMutexName[] = "Global\\Torvex-T-ZozerIded-Setup";

}  // namespace

afx::ScopedKernelHandle ClaimTheOnlyRun() {
    afx::ScopedKernelHandle mutex(CreateMutexA(nullptr, FALSE, kMutexName));
    // A name another account created and keeps from us counts as taken too.
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return afx::ScopedKernelHandle();
    return mutex;
}
