// Discovery over registry contents no installer of the host writes: marker
// data of other types and sizes, thousands of release keys, names with GBK
// trail bytes 0x5C or outside the code page, keys that refuse reading. Run
// against Wine's real registry, both roots redirected per process.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "deploy/plugin_registration.h"
#include "hosts/host_discovery.h"
#include "hosts/system_folders.h"
#include "journal/install_context.h"
#include "system/file_identity.h"
#include "tests/hosts/discovery_support.h"
#include "tests/support/gbk_samples.h"

namespace {

const std::string kHao = "浩";  // two GBK bytes, neither a backslash

// The marker buffer of discovery.
constexpr size_t kMarkerBufferSize = 256;
constexpr int kManyReleaseKeys = 10000;

bool SetBinaryLocation(HKEY root, const std::string& keyPath, const std::string& data) {
    return SetValue(root, keyPath, "Location", REG_BINARY, data.data(),
                    static_cast<DWORD>(data.size()));
}

// The number of subkeys of a key under the current user, read through the
// wide functions so that no ANSI path rule is involved; -1 when missing.
int WideSubKeyCount(const std::wstring& path) {
    afx::ScopedRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS) {
        return -1;
    }
    DWORD count = 0;
    RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr, nullptr);
    return static_cast<int>(count);
}

std::string WideText(const std::wstring& path, const wchar_t* name) {
    wchar_t data[512] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return "<missing>";
    }
    char ansi[512] = {};
    WideCharToMultiByte(CP_ACP, 0, data, -1, ansi, sizeof(ansi), nullptr, nullptr);
    return ansi;
}

using HostDiscoveryFaults = DiscoveryTest;

TEST_F(HostDiscoveryFaults, LocationOfAnyTypeIsItsDataUpToTheFirstNul) {
    // A number: its four bytes "D:\x" with no terminator.
    const DWORD number = 0x785C3A44;
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\a-dword", "Location", REG_DWORD,
                         &number, sizeof number));
    // A list of texts: the first of them.
    const char list[] = "C:\\First\\\0C:\\Second\0";
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\b-multi", "Location", REG_MULTI_SZ,
                         list, sizeof list));
    // Eight bytes whose first is NUL: marked, with an empty folder, which is
    // no installation; the key below is not searched.
    const unsigned long long zeroFirst = 0x4141414141414100ULL;
    ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\c-qword", "Location", REG_QWORD,
                         &zeroFirst, sizeof zeroFirst));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24\\c-qword\\below", "C:\\Below"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\a-dword\\", "D:\\x"},
                                                   {kGstarCad + "\\R24\\b-multi\\", "C:\\First"}}));
}

TEST_F(HostDiscoveryFaults, BinaryLocationUpToTheBufferMarksOneByteMoreDoesNot) {
    const std::string fits255 = "C:\\" + std::string(kMarkerBufferSize - 4, 'b');
    const std::string fits256 = "C:\\" + std::string(kMarkerBufferSize - 3, 'c');
    ASSERT_TRUE(SetBinaryLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R23", fits255));
    ASSERT_TRUE(SetBinaryLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", fits256));
    ASSERT_TRUE(SetBinaryLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25",
                                  std::string(kMarkerBufferSize + 1, 'd')));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25\\Below", "C:\\Below"));
    EXPECT_EQ(Discover(HostRelease::R2023), (Items{{kGstarCad + "\\R23\\", fits255}}));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\", fits256}}));
    EXPECT_EQ(Discover(HostRelease::R2025), (Items{{kGstarCad + "\\R25\\Below\\", "C:\\Below"}}));
}

TEST_F(HostDiscoveryFaults, DoubleByteLocationIsMeasuredInTheCodePage) {
    // The registry keeps texts in UTF-16, where these take 260 and 258 bytes;
    // read as GBK they take 256 and 257 with the terminator.
    const std::string fits = "D:\\" + Repeated(kHao, 126);
    const std::string tooLong = Repeated(kHao, 128);
    ASSERT_EQ(fits.size() + 1, kMarkerBufferSize);
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", fits));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", tooLong));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25\\Below", "C:\\Below"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24\\", fits}}));
    EXPECT_EQ(Discover(HostRelease::R2025), (Items{{kGstarCad + "\\R25\\Below\\", "C:\\Below"}}));
}

TEST_F(HostDiscoveryFaults, FoldersThatAreNotAbsoluteAreNoInstallations) {
    // Each would send the hosts' files into the elevated setup's current
    // folder, or into a drive's root.
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R23", ""));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24", "."));
    ASSERT_TRUE(SetBinaryLocation(HKEY_CURRENT_USER, kGstarCad + "\\R25", "ab"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R26\\a", "C:foo"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R26\\b", "\\\\server\\share\\Cad\\"));
    for (const HostRelease release : {HostRelease::R2023, HostRelease::R2024, HostRelease::R2025}) {
        EXPECT_EQ(Discover(release), Items{}) << HostReleaseYear(release);
    }
    EXPECT_EQ(Discover(HostRelease::R2026),
              (Items{{kGstarCad + "\\R26\\b\\", "\\\\server\\share\\Cad"}}));
}

TEST_F(HostDiscoveryFaults, TenThousandReleaseKeysAreAllFound) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kManyReleaseKeys; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "R24-%05d", i);
        ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\" + name,
                                "C:\\Hosts\\" + std::string(name) + "\\"));
    }
    const std::chrono::duration<double> written = std::chrono::steady_clock::now() - start;
    start = std::chrono::steady_clock::now();
    const Items found = Discover(HostRelease::R2024);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%d release keys: written in %.2f s, discovered in %.2f s\n", kManyReleaseKeys,
                written.count(), took.count());

    ASSERT_EQ(found.size(), static_cast<size_t>(kManyReleaseKeys));
    // Enumeration order is name order here; each key keeps its own folder.
    for (int i = 0; i < kManyReleaseKeys; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "R24-%05d", i);
        ASSERT_EQ(found[static_cast<size_t>(i)], std::make_pair(kGstarCad + "\\" + name + "\\",
                                                                "C:\\Hosts\\" + std::string(name)));
    }
}

TEST_F(HostDiscoveryFaults, TrailByteBackslashNamesFormKeyPathsAndRegistrationUsesThem) {
    // R25乗\誠\乗 under the current user: were a trail byte taken for a
    // separator anywhere, the path would name other keys.
    const std::string relative = "R25" + kJou + "\\" + kCheng + "\\" + kJou;
    const std::string folder = "D:\\" + kCheng;
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\" + relative, folder + "\\"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R26" + kCheng, "E:\\" + kJou));

    const FoundHosts registry = DiscoverHostInstallations();
    const std::string hostKey = kGstarCad + "\\" + relative + "\\";
    ASSERT_EQ(registry.GetHostCount(HostRelease::R2025), 1);
    EXPECT_EQ(registry.GetHostKey(HostRelease::R2025, 0).str(), hostKey);
    EXPECT_EQ(registry.GetHostFolder(HostRelease::R2025, 0).str(), folder);
    ASSERT_EQ(registry.GetHostCount(HostRelease::R2026), 1);
    EXPECT_EQ(registry.GetHostKey(HostRelease::R2026, 0).str(),
              kGstarCad + "\\R26" + kCheng + "\\");
    EXPECT_EQ(registry.GetHostFolder(HostRelease::R2026, 0).str(), "E:\\" + kJou);

    InstallContext log;
    RegisterPlugin(registry, {HostRelease::R2025, HostRelease::R2026}, ("C:\\" + kJou).c_str(),
                   log);
    // Checked through the wide names, where no byte can pass for a backslash.
    const std::wstring product = L"SOFTWARE\\Gstarsoft\\GstarCAD";
    const std::wstring host25 = product + L"\\R25\u4E57\\\u8AA0\\\u4E57";
    EXPECT_EQ(WideText(host25 + L"\\Applications\\TX_ZozerIded2025", L"LOADER"),
              "C:\\" + kJou + "\\TX_ZozerIded2023.GRX");
    EXPECT_EQ(WideText(host25 + L"\\Applications\\Torvex2025DLLP", L"LOADER"),
              folder + "\\GCAD2024P.dll");
    EXPECT_EQ(WideText(product + L"\\R26\u8AA0\\Applications\\Torvex2026DLLP", L"LOADER"),
              "E:\\" + kJou + "\\GCAD2024P.dll");
    // Nothing was written beside the host keys.
    EXPECT_EQ(WideSubKeyCount(product), 2);
    EXPECT_EQ(WideSubKeyCount(product + L"\\R25\u4E57"), 1);
    EXPECT_EQ(WideSubKeyCount(product + L"\\R25\u4E57\\\u8AA0"), 1);
    EXPECT_EQ(WideSubKeyCount(host25), 1);
    EXPECT_EQ(WideSubKeyCount(host25 + L"\\Applications"), 2);
}

TEST_F(HostDiscoveryFaults, KeyNameOutsideTheCodePageIsPassedOver) {
    // Thai ก has no GBK form: the ANSI name read back cannot open the key.
    afx::ScopedRegKey thai;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Gstarsoft\\GstarCAD\\R24\u0E01", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, thai.Receive(), nullptr),
              ERROR_SUCCESS);
    const char folder[] = "C:\\Thai";
    ASSERT_EQ(RegSetValueExA(thai.Get(), "Location", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(folder), sizeof folder),
              ERROR_SUCCESS);
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24z", "C:\\Sibling"));
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarCad + "\\R24z\\", "C:\\Sibling"}}));
}

TEST_F(HostDiscoveryFaults, UnreadableProductAndReleaseKeysArePassedOver) {
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarCad + "\\R24", "C:\\UserHidden"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24", "C:\\MachineHidden"));
    ASSERT_TRUE(SetLocation(HKEY_LOCAL_MACHINE, kGstarCad + "\\R25", "C:\\Machine"));
    ASSERT_TRUE(SetLocation(HKEY_CURRENT_USER, kGstarArch + "\\R24", "C:\\Arch"));
    ScopedKeyDenial userProduct(CreateKey(HKEY_CURRENT_USER, kGstarCad), kReading);
    ScopedKeyDenial machineRelease(CreateKey(HKEY_LOCAL_MACHINE, kGstarCad + "\\R24"), kReading);
    ASSERT_TRUE(userProduct.IsApplied() && machineRelease.IsApplied());
    EXPECT_EQ(Discover(HostRelease::R2024), (Items{{kGstarArch + "\\R24\\", "C:\\Arch"}}));
    EXPECT_EQ(Discover(HostRelease::R2025), (Items{{kGstarCad + "\\R25\\", "C:\\Machine"}}));
}

TEST_F(HostDiscoveryFaults, EveryProfileFolderTheMachineListsIsASystemFolder) {
    // Profile keys whose names differ in length, the shorter listed first.
    const std::string list = std::string(kProfileListKey) + "\\";
    std::vector<std::string> folders;
    for (const char* sid : {"S-1-5-21-7-1001", "S-1-5-21-7-10010"}) {
        folders.push_back(std::string("C:\\Users\\") + sid);
        ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, list + sid, kProfileFolderValue, REG_SZ,
                             folders.back().c_str(),
                             static_cast<DWORD>(folders.back().size() + 1)));
    }
    const SystemFolders system = SystemFoldersOfThisMachine();
    for (const std::string& folder : folders) {
        EXPECT_NE(SystemFolderRefusal(folder.c_str(), system, FileSystemPlaceKeys()), nullptr)
            << folder;
    }
}

}  // namespace
