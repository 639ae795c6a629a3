// Links as Wine shows them: only a Unix symbolic link inside the prefix is
// reported as a reparse point, and Windows calls on it act on its target.
// So links are made and removed from Unix, by running /bin/ln and /bin/rm
// (Wine starts ELF programs too, but gives no handle that waits for them:
// the result is waited for instead). Likewise a folder's Unix mode, from
// which Wine makes the access list it reports.
#pragma once

#include <windows.h>

#include <string>

namespace unix_link {

constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kPollMs = 10;

inline bool Start(const std::string& program, const std::string& arguments,
                  const std::string& folder) {
    std::string commandLine = program + " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Waits until the name is there (or gone).
inline bool WaitFor(const std::string& path, bool present) {
    for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        const bool isLink =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (present ? isLink : attributes == INVALID_FILE_ATTRIBUTES) return true;
        Sleep(kPollMs);
    }
    return false;
}

}  // namespace unix_link

// `name` in `folder` becomes a link to the folder `target` (relative to
// `folder`); true once Wine reports it as a reparse point.
inline bool MakeUnixLink(const std::string& folder, const std::string& target,
                         const std::string& name) {
    return unix_link::Start("Z:\\bin\\ln", "-s " + target + " " + name, folder) &&
           unix_link::WaitFor(folder + "\\" + name, true);
}

// Removes the link itself, never what it leads to.
inline bool RemoveUnixLink(const std::string& folder, const std::string& name) {
    return unix_link::Start("Z:\\bin\\rm", name, folder) &&
           unix_link::WaitFor(folder + "\\" + name, false);
}

// Starts /bin/chmod on a file or folder: Wine reports the access list of
// its Unix mode (0777: Everyone may change it). Wait for the effect.
inline bool StartUnixChmod(const std::string& path, const std::string& mode) {
    const size_t slash = path.rfind('\\');
    return unix_link::Start("Z:\\bin\\chmod", mode + " " + path.substr(slash + 1),
                            path.substr(0, slash));
}
