// Rights an administrator's token holds but keeps off until asked for:
// taking over files, and loading another user's registry hive.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

#include "framework/scoped_handles.h"

class ScopedPrivileges {
public:
    // Enables each privilege named (SE_..._NAME) as far as the token holds it.
    explicit ScopedPrivileges(std::initializer_list<const char*> names);
    // Puts the previous state back.
    ~ScopedPrivileges();
    ScopedPrivileges(const ScopedPrivileges&) = delete;
    ScopedPrivileges& operator=(const ScopedPrivileges&) = delete;

private:
    afx::ScopedKernelHandle m_token;
    std::vector<TOKEN_PRIVILEGES> m_previous;
};
