#include "tests/hosts/discovery_support.h"

// sddl.h needs windows.h first.
#include <sddl.h>
#include <windows.h>

#include "hosts/host_discovery.h"

bool SetLocation(HKEY root, const std::string& keyPath, const std::string& folder) {
    return SetValue(root, keyPath, "Location", REG_SZ, folder.c_str(),
                    static_cast<DWORD>(folder.size() + 1));
}

Items Found(const FoundHosts& registry, HostRelease release) {
    EXPECT_EQ(registry.GetHostCount(release),
              registry.hostKeys[HostReleaseIndex(release)].GetSize());
    Items items;
    for (int i = 0; i < registry.GetHostCount(release); ++i) {
        items.emplace_back(registry.GetHostKey(release, i).str(),
                           registry.GetHostFolder(release, i).str());
    }
    return items;
}

Items Discover(HostRelease release) {
    return Found(DiscoverHostInstallations(), release);
}

ReadingDenied::ReadingDenied(afx::ScopedRegKey key) : m_key(std::move(key)) {
    // Read denied, everything else (changing the DACL back included) allowed.
    m_applied = m_key && Apply("D:P(D;;KR;;;WD)(A;;KA;;;WD)");
}

ReadingDenied::~ReadingDenied() {
    if (m_applied) Apply("D:P(A;;KA;;;WD)");
}

bool ReadingDenied::Apply(const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        return false;
    }
    const bool set =
        RegSetKeySecurity(m_key.Get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return set;
}

std::string Repeated(const std::string& part, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += part;
    return out;
}
