// Test rig: HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS of this
// process redirected to fresh scratch keys, so tests write real registry
// trees without touching the prefix's own.
#pragma once

#include <windows.h>

#include <string>

#include "framework/afx_registry.h"

class ScratchRegistryRoots {
public:
    ScratchRegistryRoots();
    // Restores the roots, then deletes the scratch tree.
    ~ScratchRegistryRoots();
    ScratchRegistryRoots(const ScratchRegistryRoots&) = delete;
    ScratchRegistryRoots& operator=(const ScratchRegistryRoots&) = delete;

    // False when the scratch keys or the redirection could not be set up.
    bool IsReady() const { return m_ready; }
    // The scratch tree's path under the real HKEY_CURRENT_USER.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    afx::ScopedRegKey m_currentUser;
    afx::ScopedRegKey m_localMachine;
    afx::ScopedRegKey m_users;
    bool m_ready = false;
};

// Creates a key (and any missing parents) and returns it open for writing.
afx::ScopedRegKey CreateKey(HKEY root, const std::string& path);

// Sets a value's raw data; false on failure.
bool SetValue(HKEY root, const std::string& keyPath, const char* name, DWORD type, const void* data,
              DWORD size);
