// Plug-in registration against Wine's real registry, both roots redirected
// to scratch keys of this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "deploy/plugin_registration.h"
#include "framework/afx_registry.h"
#include "journal/install_context.h"
#include "record/served_places.h"
#include "tests/deploy/deploy_test_support.h"
#include "tests/support/registry_link.h"
#include "tests/support/scratch_registry.h"
#include "tools/driver/sample_machine.h"

namespace {

constexpr char kHost25[] = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\";
constexpr char kInstall[] = "C:\\Torvex\\T-ZozerIded";
constexpr char kHostFolder[] = "D:\\GstarCAD 2025";
const ReleaseSelection kEveryRelease = {HostRelease::R2023, HostRelease::R2024, HostRelease::R2025,
                                        HostRelease::R2026};

void SetText(HKEY root, const std::string& path, const char* name, const char* text) {
    ASSERT_TRUE(
        SetValue(root, path, name, REG_SZ, text, static_cast<DWORD>(std::strlen(text) + 1)));
}

size_t ValueCount(const std::string& path) {
    return driver::ValueNames(HKEY_CURRENT_USER, path).size();
}

size_t SubKeyCount(const std::string& path) {
    return driver::SubKeyNames(HKEY_CURRENT_USER, path).size();
}

// A REG_SZ value whose size counts the NUL.
void ExpectText(const std::string& path, const char* name, const std::string& text) {
    std::string value;
    ASSERT_TRUE(driver::ReadString(HKEY_CURRENT_USER, path, name, &value)) << path << " " << name;
    EXPECT_EQ(value, text) << name;
}

// A REG_DWORD value of four bytes.
void ExpectDword(const std::string& path, const char* name, DWORD expected) {
    DWORD value = 0xDEADBEEF;
    ASSERT_TRUE(driver::ReadDword(HKEY_CURRENT_USER, path, name, &value)) << path << " " << name;
    EXPECT_EQ(value, expected) << name;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.IsReady()); }

    void AddHost(int year, const char* keyPath, const char* folder) {
        registry.hostKeys[year - 2023].Add(keyPath);
        registry.hostFolders[year - 2023].Add(folder);
    }
    void RegisterOne(HostRelease release) {
        RegisterRelease(registry, release, installFolder, log);
    }
    void Register(const ReleaseSelection& releases) {
        RegisterPlugin(registry, releases, installFolder, log);
    }

    // The complete entries of one host key for a release: exactly these values.
    void ExpectEntries(const std::string& hostKey, int year, int mainNumber, const char* hostFolder,
                       int companionNumber) {
        const std::string main = hostKey + "Applications\\TX_ZozerIded" + std::to_string(year);
        ExpectDword(main, "MANAGED", 0);
        ExpectText(
            main, "LOADER",
            std::string(installFolder) + "\\TX_ZozerIded" + std::to_string(mainNumber) + ".GRX");
        EXPECT_EQ(ValueCount(main), 2u);

        const std::string companion =
            hostKey + "Applications\\Torvex" + std::to_string(year) + "DLLP";
        ExpectDword(companion, "LOADCTRLS", 2);
        ExpectText(companion, "LOADER",
                   std::string(hostFolder) + "\\GCAD" + std::to_string(companionNumber) + "P.dll");
        ExpectDword(companion, "MANAGED", 1);
        EXPECT_EQ(ValueCount(companion), 3u);
        EXPECT_EQ(SubKeyCount(hostKey + "Applications"), 2u);
    }

    ScratchRegistryRoots sandbox;
    FoundHosts registry;
    CString installFolder = kInstall;
    InstallContext log;
};

struct ReleaseRow {
    int year;
    int main;
    int companion;
};

void PrintTo(const ReleaseRow& row, std::ostream* os) {
    *os << row.year << " (main " << row.main << ", companion " << row.companion << ")";
}

class RegisterEachRelease : public RegistrationTest,
                            public ::testing::WithParamInterface<ReleaseRow> {};

TEST_P(RegisterEachRelease, WritesTheTableBelowTheHostKey) {
    const ReleaseRow row = GetParam();
    const std::string hostKey =
        "SOFTWARE\\Gstarsoft\\GstarCAD\\R" + std::to_string(row.year % 100) + "\\zh-CN\\";
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, hostKey)) << hostKey;
    AddHost(row.year, hostKey.c_str(), kHostFolder);
    HostRelease release;
    ASSERT_TRUE(HostReleaseFromYear(row.year, &release));
    RegisterOne(release);
    ExpectEntries(hostKey, row.year, row.main, kHostFolder, row.companion);
}

INSTANTIATE_TEST_SUITE_P(Releases, RegisterEachRelease,
                         ::testing::Values(ReleaseRow{2023, 2023, 2023},
                                           ReleaseRow{2024, 2023, 2024},
                                           ReleaseRow{2025, 2023, 2024},
                                           ReleaseRow{2026, 2026, 2024}));

TEST_F(RegistrationTest, SecondRunLeavesExactlyTheTable) {
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25)) << kHost25;
    const std::string main = std::string(kHost25) + "Applications\\TX_ZozerIded2025";
    const std::string companion = std::string(kHost25) + "Applications\\Torvex2025DLLP";
    SetText(HKEY_CURRENT_USER, main, "OLDVALUE", "stale");
    SetText(HKEY_CURRENT_USER, main, "LOADCTRLS", "stale");
    SetText(HKEY_CURRENT_USER, companion, "LOADER", "C:\\old\\GCAD2020P.dll");
    SetText(HKEY_CURRENT_USER, companion, "DESCRIPTION", "stale");
    AddHost(2025, kHost25, kHostFolder);

    RegisterOne(HostRelease::R2025);
    RegisterOne(HostRelease::R2025);
    ExpectEntries(kHost25, 2025, 2023, kHostFolder, 2024);
}

TEST_F(RegistrationTest, KeyWithASubkeyIsReusedWithItsOtherValues) {
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25)) << kHost25;
    const std::string main = std::string(kHost25) + "Applications\\TX_ZozerIded2025";
    SetText(HKEY_CURRENT_USER, main + "\\Commands", "X", "y");
    SetText(HKEY_CURRENT_USER, main, "KEEP", "kept");
    SetText(HKEY_CURRENT_USER, main, "LOADER", "old");
    AddHost(2025, kHost25, kHostFolder);

    RegisterOne(HostRelease::R2025);
    ExpectDword(main, "MANAGED", 0);
    ExpectText(main, "LOADER", std::string(kInstall) + "\\TX_ZozerIded2023.GRX");
    ExpectText(main, "KEEP", "kept");
    EXPECT_EQ(ValueCount(main), 3u);
    EXPECT_EQ(SubKeyCount(main), 1u);
}

TEST_F(RegistrationTest, HostKeyOnlyUnderLocalMachineGetsNothingAndIsNoFailure) {
    ASSERT_TRUE(CreateKey(HKEY_LOCAL_MACHINE, kHost25)) << kHost25;
    AddHost(2025, kHost25, kHostFolder);
    Register(kEveryRelease);
    // No profile is made for the host: the per-user stage serves it once
    // the host has made it, so it is no step left undone.
    EXPECT_TRUE(log.notDone.IsEmpty());
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, kHost25));
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, "SOFTWARE"));
    EXPECT_FALSE(driver::KeyExists(HKEY_LOCAL_MACHINE, std::string(kHost25) + "Applications"));
}

TEST_F(RegistrationTest, EachInstallationNamesItsOwnHostFolder) {
    const std::string first = "SOFTWARE\\Gstarsoft\\GstarCAD\\R24\\zh-CN\\";
    const std::string second = "SOFTWARE\\Gstarsoft\\GstarArch\\R24\\en-US\\";
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, first)) << first;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, second)) << second;
    AddHost(2024, first.c_str(), "C:\\CAD\\One");
    AddHost(2024, second.c_str(), "E:\\Arch");
    Register({HostRelease::R2024});
    ExpectEntries(first, 2024, 2023, "C:\\CAD\\One", 2024);
    ExpectEntries(second, 2024, 2023, "E:\\Arch", 2024);
}

TEST_F(RegistrationTest, OnlySelectedReleasesWithKeysAreWritten) {
    const std::string host24 = "SOFTWARE\\Gstarsoft\\GstarCAD\\R24\\";
    const std::string host26 = "SOFTWARE\\Gstarsoft\\GstarCAD\\R26\\";
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, host24)) << host24;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25)) << kHost25;
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, host26)) << host26;
    AddHost(2024, host24.c_str(), "C:\\G24");
    AddHost(2025, kHost25, kHostFolder);
    AddHost(2026, host26.c_str(), "C:\\G26");
    // 2023 is selected but has no installation; 2025 has one but is not selected.
    Register({HostRelease::R2023, HostRelease::R2024, HostRelease::R2026});
    ExpectEntries(host24, 2024, 2023, "C:\\G24", 2024);
    ExpectEntries(host26, 2026, 2026, "C:\\G26", 2024);
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, std::string(kHost25) + "Applications"));
    EXPECT_EQ(SubKeyCount("SOFTWARE\\Gstarsoft\\GstarCAD"), 3u);
}

TEST_F(RegistrationTest, ReleaseWithoutKeysOrNoneSelectedWritesNothing) {
    Register(kEveryRelease);
    EXPECT_EQ(SubKeyCount(""), 0u);
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25)) << kHost25;
    AddHost(2025, kHost25, kHostFolder);
    Register(ReleaseSelection());
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, std::string(kHost25) + "Applications"));
}

TEST_F(RegistrationTest, LongLoaderTextsAreWrittenWhole) {
    installFolder = CString(("C:\\" + std::string(300, 'i')).c_str());
    const std::string longHost = "D:\\" + std::string(280, 'h');
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25)) << kHost25;
    AddHost(2025, kHost25, longHost.c_str());
    RegisterOne(HostRelease::R2025);
    ExpectEntries(kHost25, 2025, 2023, longHost.c_str(), 2024);
}

// A user's registry link below the host key leads to keys only
// administrators may change: neither registration nor its rollback may
// write or delete anything there.
struct LinkRow {
    const char* linkName;  // below kHost25's parent, made a link to the victim's key
    const char* target;    // the victim's key or one below it
    bool rollBack;         // registered first without the link, then undone through it
};

class RegistrationThroughALink : public RegistrationTest,
                                 public ::testing::WithParamInterface<LinkRow> {};

TEST_P(RegistrationThroughALink, TouchesNothingBehindIt) {
    const LinkRow row = GetParam();
    const std::string parent = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25";
    const std::string victim = "SOFTWARE\\Victim";
    for (const char* entry : {"TX_ZozerIded2025", "Torvex2025DLLP"}) {
        SetText(HKEY_LOCAL_MACHINE, victim + "\\Applications\\" + entry, "KEEP", "kept");
    }
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25));
    AddHost(2025, kHost25, kHostFolder);
    if (row.rollBack) RegisterOne(HostRelease::R2025);
    RegDeleteTreeA(HKEY_CURRENT_USER, (parent + "\\" + row.linkName).c_str());
    const afx::ScopedRegKey linkParent = CreateKey(HKEY_CURRENT_USER, parent);
    const afx::ScopedRegKey target = CreateKey(HKEY_LOCAL_MACHINE, victim + row.target);
    const RegistryLink link(linkParent.Get(), row.linkName, target.Get());
    ASSERT_TRUE(link.IsLinked());

    if (row.rollBack) {
        log.journal.Rollback(FindServedPlaces(kInstall, nullptr, registry));
    } else {
        RegisterOne(HostRelease::R2025);
        EXPECT_FALSE(log.notDone.IsEmpty());
    }
    for (const char* entry : {"TX_ZozerIded2025", "Torvex2025DLLP"}) {
        const std::string key = victim + "\\Applications\\" + entry;
        EXPECT_EQ(driver::ValueNames(HKEY_LOCAL_MACHINE, key), std::vector<std::string>{"KEEP"})
            << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Links, RegistrationThroughALink,
                         ::testing::Values(LinkRow{"zh-CN", "", false},
                                           LinkRow{"zh-CN\\Applications", "\\Applications", false},
                                           LinkRow{"zh-CN\\Applications", "\\Applications", true}));

}  // namespace
