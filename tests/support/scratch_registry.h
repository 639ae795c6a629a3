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

// Refuses some rights on one key to everyone until the object goes (Wine
// keeps a key's permissions); the open handle keeps the right to give the
// former access back. The rights as SDDL names them: "KR" reading, "SD"
// deleting.
class ScopedKeyDenial {
public:
    ScopedKeyDenial(afx::ScopedRegKey key, const char* rights);
    ~ScopedKeyDenial();
    ScopedKeyDenial(const ScopedKeyDenial&) = delete;
    ScopedKeyDenial& operator=(const ScopedKeyDenial&) = delete;
    bool IsApplied() const { return m_applied; }

private:
    bool Apply(const std::string& sddl);

    afx::ScopedRegKey m_key;
    bool m_applied = false;
};

// Sets a value's raw data; false on failure.
bool SetValue(HKEY root, const std::string& keyPath, const char* name, DWORD type, const void* data,
              DWORD size);
