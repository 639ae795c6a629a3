// What the discovery tests share: the fixture with the registry sandbox,
// product keys, marker values, discovery on a
// fresh record, texts of chosen lengths.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "hosts/found_hosts.h"
#include "tests/support/scratch_registry.h"

inline const std::string kGstarCad = "SOFTWARE\\Gstarsoft\\GstarCAD";
inline const std::string kGstarArch = "SOFTWARE\\Gstarsoft\\GstarArch";

// Every discovery test runs with both registry roots redirected.
class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_roots.IsReady()); }

    ScratchRegistryRoots m_roots;
};

// Sets "Location" to the text as REG_SZ, terminator included.
bool SetLocation(HKEY root, const std::string& keyPath, const std::string& folder);

// What discovery files for one release: (key path, folder) pairs in list order.
using Items = std::vector<std::pair<std::string, std::string>>;

// What the record holds for the release (its two lists checked to be parallel).
Items Found(const FoundHosts& registry, HostRelease release);

// Runs discovery on a fresh record and returns what it filed for the release.
Items Discover(HostRelease release);

// ScopedKeyDenial's rights that refuse reading a key.
constexpr char kReading[] = "KR";

// The part, times over: names and data of chosen lengths.
std::string Repeated(const std::string& part, size_t times);
