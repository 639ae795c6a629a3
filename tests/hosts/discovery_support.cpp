#include "tests/hosts/discovery_support.h"

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

std::string Repeated(const std::string& part, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) out += part;
    return out;
}
