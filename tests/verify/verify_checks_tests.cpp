// The checks of /VERIFY cheaper shown in-process than end to end: the
// account's entries against what registration writes, in a sandboxed
// registry, and the kept package of a sealed program, in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "deploy/package_manifest.h"
#include "deploy/plugin_registration.h"
#include "journal/install_context.h"
#include "record/install_record.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/run_log.h"
#include "system/sha256.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "verify/findings.h"
#include "verify/verify_entries.h"
#include "verify/verify_files.h"

namespace {

constexpr char kInstall[] = "C:\\Torvex\\T-ZozerIded";
const std::string kHost25 = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\";

std::vector<Verdict> VerdictsOf(const Findings& findings) {
    std::vector<Verdict> verdicts;
    for (const Findings::Item& item : findings.Items()) verdicts.push_back(item.verdict);
    return verdicts;
}

std::string Sha(const std::string& content) {
    Sha256 hash;
    hash.Update(content.data(), content.size());
    return hash.FinishHex();
}

TEST(VerifyAccountEntries, AnEntryMissingOrNamingSomethingElseIsDamage) {
    const ScratchRegistryRoots sandbox;
    ASSERT_TRUE(sandbox.IsReady());
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kHost25));
    FoundHosts hosts;
    hosts.hostKeys[HostReleaseIndex(HostRelease::R2025)].Add(kHost25.c_str());
    hosts.hostFolders[HostReleaseIndex(HostRelease::R2025)].Add("D:\\GstarCAD 2025");
    // The 2026 host's profile this account has never made.
    const std::vector<ServedHost> served = {
        {2025, "D:\\GstarCAD 2025", kHost25.c_str()},
        {2026, "D:\\GstarCAD 2026", "SOFTWARE\\Gstarsoft\\GstarCAD\\R26\\zh-CN\\"}};
    const std::string main = kHost25 + "Applications\\TX_ZozerIded2025";
    const std::string companion = kHost25 + "Applications\\Torvex2025DLLP";
    const DWORD unmanaged = 0;
    const char elsewhere[] = "C:\\Elsewhere\\TX_ZozerIded2023.GRX";
    const struct {
        const char* change;
        std::function<bool()> make;
        Verdict main;
        Verdict companion;
    } cases[] = {
        {"none", [] { return true; }, Verdict::AsInstalled, Verdict::AsInstalled},
        {"main module elsewhere",
         [&] {
             return SetValue(HKEY_CURRENT_USER, main, "LOADER", REG_SZ, elsewhere,
                             sizeof(elsewhere));
         },
         Verdict::NamesOther, Verdict::AsInstalled},
        {"companion unmanaged",
         [&] {
             return SetValue(HKEY_CURRENT_USER, companion, "MANAGED", REG_DWORD, &unmanaged,
                             sizeof(unmanaged));
         },
         Verdict::AsInstalled, Verdict::NamesOther},
        {"companion gone",
         [&] { return RegDeleteTreeA(HKEY_CURRENT_USER, companion.c_str()) == ERROR_SUCCESS; },
         Verdict::AsInstalled, Verdict::Missing},
    };
    for (const auto& c : cases) {
        InstallContext install;
        RegisterRelease(hosts, HostRelease::R2025, kInstall, install);
        ASSERT_TRUE(c.make()) << c.change;
        RunLog log;
        Findings findings(log);
        VerifyAccountEntries(kInstall, served, findings);
        EXPECT_EQ(VerdictsOf(findings),
                  (std::vector<Verdict>{c.main, c.companion, Verdict::NoProfile}))
            << c.change;
    }
}

TEST(VerifyKeptPackage, ASealedProgramKeepsExactlyWhatItsManifestHolds) {
    const ScratchRegistryRoots sandbox;  // no record: the kept package fails as a whole too
    ASSERT_TRUE(sandbox.IsReady());
    const ScopedTempFolder install;
    const std::string data = (install / "Data").str();
    ASSERT_TRUE(driver::CreateFolders(data));
    for (const char* name : {"TX_ZozerIded2023.grx", "GCAD2024P.dll", "extra.dll"}) {
        ASSERT_TRUE(driver::WriteTextFile(data + "\\" + name, "kept"));
    }
    PackageManifest manifest;
    manifest.files = {
        {"TX_ZozerIded2023.grx", 4, Sha("kept").c_str()},
        {"GCAD2024P.dll", 6, Sha("sealed").c_str()},
        {"Torvex_HZ.shx", 4, Sha("kept").c_str()},
        // Never kept: in a subfolder, or going nowhere.
        {"Fonts\\Torvex_EN.shx", 4, Sha("kept").c_str()},
        {"Torvex.prt5", 4, Sha("kept").c_str()},
    };
    InstallRecord record;
    for (const char* name : {"TX_ZozerIded2023.grx", "extra.dll"}) {
        record.files.push_back(
            {(data + "\\" + name).c_str(), 4, InstallRecord::Origin::New, Sha("kept").c_str()});
    }
    RunLog log;
    Findings findings(log);
    VerifyKeptPackage(EarlierRecords::Read(), install.Path(), &manifest, findings);
    VerifyRecordedFiles(record, ServedPlaces(install.Path()), &manifest, findings);
    std::vector<std::string> notSealed;
    for (const Findings::Item& item : findings.Items()) {
        if (item.verdict == Verdict::NotAsSealed) notSealed.push_back(item.subject.str());
    }
    EXPECT_EQ(notSealed,
              (std::vector<std::string>{data + "\\GCAD2024P.dll", data + "\\Torvex_HZ.shx",
                                        data + "\\extra.dll"}));
}

}  // namespace
