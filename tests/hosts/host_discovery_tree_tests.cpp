// Discovery over awkward registry trees: very deep chains, symbolic links
// that lead back up, and keys that cannot be opened.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "hosts/found_hosts.h"
#include "hosts/host_discovery.h"
#include "hosts/system_folders.h"
#include "tests/hosts/discovery_support.h"
#include "tests/support/registry_link.h"

namespace {

// The deepest key below a release key that discovery searches.
constexpr int kSearchedDepth = 512;

// Below path, `levels` nested keys all named `name`, created one level at a
// time (a full path that long is more than one registry call accepts).
// Returns the deepest key open, or an empty handle on failure.
afx::ScopedRegKey CreateChain(HKEY root, const std::string& path, const char* name, int levels) {
    afx::ScopedRegKey current = CreateKey(root, path);
    for (int level = 0; current && level < levels; ++level)
        current = CreateKey(current.Get(), name);
    return current;
}

bool SetLocationHere(HKEY key, const std::string& folder) {
    return RegSetValueExA(key, "Location", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                          static_cast<DWORD>(folder.size() + 1)) == ERROR_SUCCESS;
}

using HostDiscoveryTree = DiscoveryTest;

TEST_F(HostDiscoveryTree, MarkerAtTheDeepestSearchedLevelIsFound) {
    afx::ScopedRegKey deepest =
        CreateChain(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "k", kSearchedDepth);
    ASSERT_TRUE(deepest);
    ASSERT_TRUE(SetLocationHere(deepest.Get(), "C:\\Deep\\"));
    EXPECT_EQ(Discover(HostRelease::R2024),
              (Items{{kGstarCad + "\\R24\\" + Repeated("k\\", kSearchedDepth), "C:\\Deep"}}));
}

TEST_F(HostDiscoveryTree, KeysBelowTheBoundContributeNothing) {
    afx::ScopedRegKey justBelow =
        CreateChain(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "k", kSearchedDepth + 1);
    ASSERT_TRUE(justBelow);
    ASSERT_TRUE(SetLocationHere(justBelow.Get(), "C:\\TooDeep"));
    // Far deeper, with a marker at the bottom: the search stops, no crash.
    afx::ScopedRegKey farBelow = CreateChain(HKEY_LOCAL_MACHINE, kGstarCad + "\\R26", "k", 700);
    ASSERT_TRUE(farBelow);
    ASSERT_TRUE(SetLocationHere(farBelow.Get(), "C:\\Bottom"));
    // A marked sibling near the top is still found.
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R26\\z", "C:\\Z"));
    EXPECT_EQ(Discover(HostRelease::R2025), Items{});
    EXPECT_EQ(Discover(HostRelease::R2026), (Items{{kGstarCad + "\\R26\\z\\", "C:\\Z"}}));
}

TEST_F(HostDiscoveryTree, TheSearchStopsWhenItsKeysAreSpent) {
    constexpr int kMarkedKeys = 20;
    constexpr int kBudget = 10;
    for (int i = 0; i < kMarkedKeys; ++i) {
        const std::string name = (i < 10 ? "k0" : "k") + std::to_string(i);
        ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25\\" + name, "C:\\" + name));
    }
    const auto found = [](int budget) {
        FoundHosts registry;
        DiscoverHostInstallationsInto(registry, SystemFolders(), budget);
        return Found(registry, HostRelease::R2025).size();
    };
    EXPECT_EQ(found(kDiscoveryKeyBudget), static_cast<size_t>(kMarkedKeys));
    const size_t spent = found(kBudget);
    EXPECT_GT(spent, 0u);
    EXPECT_LT(spent, static_cast<size_t>(kBudget));
}

TEST_F(HostDiscoveryTree, LinkKeysAreNeverFollowed) {
    // Any user may write such links under the current user's root: two that
    // lead back to their release key would make a tree of 2^512 keys.
    afx::ScopedRegKey release = CreateKey(HKEY_CURRENT_USER, kGstarCad + "\\R23");
    ASSERT_TRUE(release);
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R23\\m", "C:\\M"));
    RegistryLink first(release.Get(), "loop-a", release.Get());
    RegistryLink second(release.Get(), "loop-b", release.Get());
    ASSERT_TRUE(first.IsLinked() && second.IsLinked()) << "registry links could not be made";
    EXPECT_EQ(Discover(HostRelease::R2023), (Items{{kGstarCad + "\\R23\\m\\", "C:\\M"}}));
    EXPECT_TRUE(first.Remove() && second.Remove());
}

TEST_F(HostDiscoveryTree, UnreadableSubkeyIsPassedOver) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\a", "C:\\A"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\b\\inner", "C:\\Inner"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\c", "C:\\C"));
    ScopedKeyDenial deniedA(CreateKey(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\a"), kReading);
    ScopedKeyDenial deniedB(CreateKey(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\b"), kReading);
    ASSERT_TRUE(deniedA.IsApplied() && deniedB.IsApplied());
    HKEY probe = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kGstarCad + "\\R24\\a").c_str(), 0, KEY_READ, &probe),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\c\\", "C:\\C"}}));
}

}  // namespace
