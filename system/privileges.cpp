#include "system/privileges.h"

ScopedPrivileges::ScopedPrivileges(std::initializer_list<const char*> names) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return;
    }
    m_token.Reset(token);
    for (const char* name : names) {
        TOKEN_PRIVILEGES wanted = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
        if (!LookupPrivilegeValueA(nullptr, name, &wanted.Privileges[0].Luid)) continue;
        TOKEN_PRIVILEGES previous = {};
        DWORD size = sizeof(previous);
        if (AdjustTokenPrivileges(m_token.Get(), FALSE, &wanted, sizeof(previous), &previous,
                                  &size) &&
            GetLastError() == ERROR_SUCCESS && previous.PrivilegeCount == 1) {
            m_previous.push_back(previous);
        }
    }
}

ScopedPrivileges::~ScopedPrivileges() {
    for (TOKEN_PRIVILEGES& previous : m_previous) {
        AdjustTokenPrivileges(m_token.Get(), FALSE, &previous, 0, nullptr, nullptr);
    }
}
