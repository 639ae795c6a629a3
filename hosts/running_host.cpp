#include "hosts/running_host.h"

#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <cstring>

#include "framework/scoped_handles.h"
#include "hosts/host_image_name.h"

bool IsHostRunning() {
    afx::ScopedKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;

    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        // Bounded by the field: a name filling it has no terminator of its own.
        const CString imageName(
            entry.szExeFile, static_cast<int>(strnlen(entry.szExeFile, sizeof(entry.szExeFile))));
        if (ImageNameIsHost(imageName)) return true;
    }
    return false;
}
