#include "tests/support/scratch_registry.h"

// sddl.h needs windows.h first.
#include <sddl.h>
#include <windows.h>

namespace {

constexpr char kScratchParent[] = "Software\\SetupTests";

// Unique per process and per fixture: tests of several processes share the
// prefix's registry.
std::string UniqueScratchPath() {
    static unsigned sequence = 0;
    return std::string(kScratchParent) + "\\run-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount64()) + "-" + std::to_string(++sequence);
}

}  // namespace

ScratchRegistryRoots::ScratchRegistryRoots() : m_path(UniqueScratchPath()) {
    m_currentUser = CreateKey(HKEY_CURRENT_USER, m_path + "\\HKCU");
    m_localMachine = CreateKey(HKEY_CURRENT_USER, m_path + "\\HKLM");
    m_users = CreateKey(HKEY_CURRENT_USER, m_path + "\\HKU");
    if (!m_currentUser || !m_localMachine || !m_users) return;
    m_ready = RegOverridePredefKey(HKEY_CURRENT_USER, m_currentUser.Get()) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_localMachine.Get()) == ERROR_SUCCESS &&
              RegOverridePredefKey(HKEY_USERS, m_users.Get()) == ERROR_SUCCESS;
}

ScratchRegistryRoots::~ScratchRegistryRoots() {
    RegOverridePredefKey(HKEY_USERS, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    m_currentUser.Reset();
    m_localMachine.Reset();
    m_users.Reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    // Only goes when no other process still has a scratch tree there.
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);
}

afx::ScopedRegKey CreateKey(HKEY root, const std::string& path) {
    return afx::CreateRegKey(root, path.c_str(), KEY_ALL_ACCESS);
}

bool SetValue(HKEY root, const std::string& keyPath, const char* name, DWORD type, const void* data,
              DWORD size) {
    afx::ScopedRegKey key = CreateKey(root, keyPath);
    return key && RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size) ==
                      ERROR_SUCCESS;
}

ScopedKeyDenial::ScopedKeyDenial(afx::ScopedRegKey key, const char* rights)
    : m_key(std::move(key)) {
    m_applied = m_key && Apply(std::string("D:P(D;;") + rights + ";;;WD)(A;;KA;;;WD)");
}

ScopedKeyDenial::~ScopedKeyDenial() {
    if (m_applied) Apply("D:P(A;;KA;;;WD)");
}

bool ScopedKeyDenial::Apply(const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr)) {
        return false;
    }
    const bool set =
        RegSetKeySecurity(m_key.Get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return set;
}
