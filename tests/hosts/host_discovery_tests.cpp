// Host discovery against Wine's real registry, both roots redirected to
// scratch keys of this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "hosts/host_discovery.h"
#include "tests/hosts/discovery_support.h"
#include "tests/support/gbk_samples.h"

namespace {

const std::string kGstarAec = "SOFTWARE\\Gstarsoft\\GstarAEC";
const std::string kMechStd = "SOFTWARE\\Gstarsoft\\GstarMechStd";

// GBK: two double-byte characters, no byte of them a backslash.
const std::string kHaoChen = "浩辰";

using HostDiscovery = DiscoveryTest;

TEST_F(HostDiscovery, NothingFoundWithoutProductKeys) {
    // Marked keys outside the product keys, and a marker on the product key
    // itself, count for nothing.
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, "SOFTWARE\\Gstarsoft\\GstarOther\\R24", "C:\\X"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other\\GstarCAD\\R24", "C:\\Y"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad, "C:\\Z"));
    const FoundHosts registry = DiscoverHostInstallations();
    for (HostRelease release : kHostReleases) {
        EXPECT_EQ(registry.hostFolders[HostReleaseIndex(release)].GetSize(), 0);
        EXPECT_EQ(registry.hostKeys[HostReleaseIndex(release)].GetSize(), 0);
    }
}

TEST_F(HostDiscovery, ReleaseKeyHoldingLocationGivesOneInstallation) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23",
                            "C:\\Program Files\\Gstarsoft\\GstarCAD2023\\"));
    EXPECT_EQ(Discover(HostRelease::R2023),
              (Items{{kGstarCad + "\\R23\\", "C:\\Program Files\\Gstarsoft\\GstarCAD2023"}}));
    EXPECT_EQ(Discover(HostRelease::R2024), Items{});
}

TEST_F(HostDiscovery, OnlyOneTrailingBackslashGoes) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "D:\\Two\\\\"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "\\"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R26", "E:\\"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\", "D:\\Two\\"}}));
    // A lone backslash stays, and a drive root becomes "E:": neither is an
    // absolute folder, so neither is an installation.
    EXPECT_EQ(Discover(HostRelease::R2025), Items{});
    EXPECT_EQ(Discover(HostRelease::R2026), Items{});
}

TEST_F(HostDiscovery, CurrentUserBeforeLocalMachine) {
    // Enumeration order alone would put "a" first; the root comes first.
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\a", "C:\\Machine"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24\\b", "C:\\User"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\b\\", "C:\\User"},
                                                   {kGstarCad + "\\R24\\a\\", "C:\\Machine"}}));
}

TEST_F(HostDiscovery, ProductKeyOrderBeforeRootOrder) {
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kMechStd + "\\R25", "C:\\Mech"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarArch + "\\R25", "C:\\Arch"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "C:\\Cad"));
    EXPECT_EQ(Discover(HostRelease::R2025), (Items{{kGstarCad + "\\R25\\", "C:\\Cad"},
                                                   {kGstarArch + "\\R25\\", "C:\\Arch"},
                                                   {kMechStd + "\\R25\\", "C:\\Mech"}}));
}

TEST_F(HostDiscovery, AllEightProductKeysAreSearchedInTableOrder) {
    const char* const expected[HostProductKeys::kCount] = {
        "SOFTWARE\\Gstarsoft\\GstarCAD", "SOFTWARE\\Gstarsoft\\GstarArch",
        "SOFTWARE\\Gstarsoft\\GstarAEC", "SOFTWARE\\Gstarsoft\\GSGP",
        "SOFTWARE\\Gstarsoft\\GSNT",     "SOFTWARE\\Gstarsoft\\GSDL",
        "SOFTWARE\\Gstarsoft\\GSDQ",     "SOFTWARE\\Gstarsoft\\GstarMechStd"};
    // Written in reverse, so neither creation order nor name order can pass
    // for the table's.
    for (int i = HostProductKeys::kCount - 1; i >= 0; --i) {
        ASSERT_STREQ(HostProductKeys::kPaths[i], expected[i]);
        const HKEY root = i % 2 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        ASSERT_TRUE(
            SetLocation(root, std::string(expected[i]) + "\\R26", "C:\\Host" + std::to_string(i)));
    }
    Items want;
    for (int i = 0; i < HostProductKeys::kCount; ++i) {
        want.emplace_back(std::string(expected[i]) + "\\R26\\", "C:\\Host" + std::to_string(i));
    }
    EXPECT_EQ(Discover(HostRelease::R2026), want);
}

TEST_F(HostDiscovery, SameKeyUnderBothRootsKeepsTheCurrentUsers) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\Inst", "C:\\Machine"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24\\Inst", "C:\\User"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\Inst\\", "C:\\User"}}));
}

TEST_F(HostDiscovery, SameFolderUnderTwoProductKeysKeepsTheFirstProducts) {
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarAec + "\\R24", "C:\\Shared\\"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "c:\\SHARED"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\", "c:\\SHARED"}}));
}

TEST_F(HostDiscovery, OneFolderMayServeSeveralReleases) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "C:\\Same"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "C:\\Same"));
    EXPECT_EQ(Discover(HostRelease::R2024).size(), 1u);
    EXPECT_EQ(Discover(HostRelease::R2025).size(), 1u);
}

TEST_F(HostDiscovery, ReleaseCodeAnywhereInTheNameFirstReleaseWins) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\GstarCAD R25.1", "C:\\A"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\xR26", "C:\\B"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25R24", "C:\\C"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\" + kHaoChen + "R23", "C:\\D"));
    EXPECT_EQ(Discover(HostRelease::R2023),
              (Items{{kGstarCad + "\\" + kHaoChen + "R23\\", "C:\\D"}}));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R25R24\\", "C:\\C"}}));
    EXPECT_EQ(Discover(HostRelease::R2025), (Items{{kGstarCad + "\\GstarCAD R25.1\\", "C:\\A"}}));
    EXPECT_EQ(Discover(HostRelease::R2026), (Items{{kGstarCad + "\\xR26\\", "C:\\B"}}));
}

TEST_F(HostDiscovery, NamesWithoutAnUpperCaseCodeContributeNothing) {
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\r23", "C:\\Lower"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\r24\\Inst", "C:\\LowerSub"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R2", "C:\\Short"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\Common", "C:\\None"));
    for (HostRelease release : kHostReleases) EXPECT_EQ(Discover(release), Items{});
}

TEST_F(HostDiscovery, TrailByteOfADoubleByteCharacterStartsNoCode) {
    // 0x81 0x52 is one GBK character whose trail byte is 'R'.
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\\x81R23", "C:\\Trail"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\\x81R23R24", "C:\\Later"));
    EXPECT_EQ(Discover(HostRelease::R2023), Items{});
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\\x81R23R24\\", "C:\\Later"}}));
}

TEST_F(HostDiscovery, LocationOfUpTo256BytesMarksTheKey) {
    // 255 characters and the terminator: exactly the buffer.
    const std::string fits = "C:\\" + std::string(252, 'f');
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23", fits));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23\\Below", "C:\\Below"));
    EXPECT_EQ(Discover(HostRelease::R2023), (Items{{kGstarCad + "\\R23\\", fits}}));
}

TEST_F(HostDiscovery, LocationOver256BytesLeavesTheKeyUnmarked) {
    // 256 characters and the terminator: one byte too many; the subkeys are
    // searched instead.
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23", std::string(256, 'f')));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23\\Below", "C:\\Below"));
    EXPECT_EQ(Discover(HostRelease::R2023), (Items{{kGstarCad + "\\R23\\Below\\", "C:\\Below"}}));
}

TEST_F(HostDiscovery, LocationDataWithoutTerminatorIsReadWithinItsSize) {
    // 256 bytes of binary data, no NUL: the whole data, nothing past it.
    const std::string data = "C:\\" + std::string(253, 'b');
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "Location", REG_BINARY,
                         data.data(), static_cast<DWORD>(data.size())));
    // Shorter binary data ending in a backslash, without terminator.
    const std::string shortData = "C:\\Bin\\";
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "Location", REG_BINARY,
                         shortData.data(), static_cast<DWORD>(shortData.size())));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\", data}}));
    EXPECT_EQ(Discover(HostRelease::R2025), (Items{{kGstarCad + "\\R25\\", "C:\\Bin"}}));
}

TEST_F(HostDiscovery, LocationWithoutDataMarksWithAnEmptyFolder) {
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23", "Location", REG_SZ, nullptr, 0));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23\\Below", "C:\\Below"));
    // Marked, so nothing below is searched; an empty folder is no installation.
    EXPECT_EQ(Discover(HostRelease::R2023), Items{});
}

TEST_F(HostDiscovery, LocationIsTakenUpToItsFirstNulAndAsItIs) {
    const char embedded[] = "C:\\Host\\\0junk";
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "Location", REG_BINARY, embedded,
                         sizeof(embedded)));
    const std::string unexpanded = "%ProgramFiles%\\Gstar";
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "Location", REG_EXPAND_SZ,
                         unexpanded.c_str(), static_cast<DWORD>(unexpanded.size() + 1)));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\", "C:\\Host"}}));
    // Taken as it is, not expanded: no absolute folder, so no installation.
    EXPECT_EQ(Discover(HostRelease::R2025), Items{});
}

TEST_F(HostDiscovery, OnlyTheUpperOfNestedMarkedKeysCounts) {
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24\\a", "C:\\A"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24\\a\\b", "C:\\B"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24\\c\\d\\e", "C:\\E"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24\\c\\f", "C:\\F"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\a\\", "C:\\A"},
                                                   {kGstarCad + "\\R24\\c\\d\\e\\", "C:\\E"},
                                                   {kGstarCad + "\\R24\\c\\f\\", "C:\\F"}}));
}

TEST_F(HostDiscovery, DoubleByteNamesAndFoldersStayIntact) {
    // The trail byte 0x5C of 乗 is no backslash: it survives, while a real
    // trailing backslash after it goes.
    const std::string jouFolder = "D:\\" + kHaoChen + "\\" + kJou;
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\" + kJou, jouFolder));
    ASSERT_TRUE(
        SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25\\" + kHaoChen, jouFolder + "\\"));
    EXPECT_EQ(Discover(HostRelease::R2024),
              (Items{{kGstarCad + "\\R24\\" + kJou + "\\", jouFolder}}));
    EXPECT_EQ(Discover(HostRelease::R2025),
              (Items{{kGstarCad + "\\R25\\" + kHaoChen + "\\", jouFolder}}));
}

TEST_F(HostDiscovery, ThisMachinesWindowsFolderIsRefusedAndNamed) {
    char windows[MAX_PATH];
    ASSERT_TRUE(GetWindowsDirectoryA(windows, MAX_PATH));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25\\a", windows));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25\\b", "C:\\Cad"));
    std::vector<RefusedHostFolder> refused;
    const FoundHosts registry = DiscoverHostInstallations(&refused);
    EXPECT_EQ(Found(registry, HostRelease::R2025), (Items{{kGstarCad + "\\R25\\b\\", "C:\\Cad"}}));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].folder, windows);
}

TEST_F(HostDiscovery, SubkeyNameOver256BytesIsSkipped) {
    // 130 Chinese characters are a valid key name but 260 bytes in GBK.
    std::string longName;
    for (int i = 0; i < 130; ++i) longName += kHaoChen.substr(0, 2);
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23\\" + longName, "C:\\Long"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23\\z", "C:\\Z"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24" + longName, "C:\\LongRelease"));
    EXPECT_EQ(Discover(HostRelease::R2023), (Items{{kGstarCad + "\\R23\\z\\", "C:\\Z"}}));
    EXPECT_EQ(Discover(HostRelease::R2024), Items{});
}

}  // namespace
