// The checks of /VERIFY cheaper shown in-process than end to end: the
// account's entries against what registration writes, in a sandboxed
// registry, and the kept package of a sealed program, in a temporary folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "deploy/package_manifest.h"
#include "deploy/plugin_registration.h"
#include "journal/install_context.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "system/sha256.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"
#include "verify/findings.h"
#include "verify/verify_entries.h"
#include "verify/verify_files.h"

void PrintTo(Verdict verdict, std::ostream* os) {
    *os << VerdictWords(verdict).str();
}

namespace {

const std::string kProfile = "SOFTWARE\\Gstarsoft\\GstarCAD\\R";

TEST(VerifyAccountEntries, AnEntryMissingOrNamingSomethingElseIsDamage) {
    const ScratchRegistryRoots sandbox;
    ASSERT_TRUE(sandbox.IsReady());
    FoundHosts hosts;
    std::vector<ServedHost> served;
    for (const int year : {2024, 2025, 2026}) {
        const CString key = (kProfile + std::to_string(year % 100) + "\\").c_str();
        served.push_back({year, ("D:\\GstarCAD " + std::to_string(year)).c_str(), key});
        hosts.hostKeys[year - 2023].Add(key);
        hosts.hostFolders[year - 2023].Add(served.back().folder);
        // A profile of 2026 this account never made.
        ASSERT_TRUE(year == 2026 || CreateKey(HKEY_CURRENT_USER, key.str()));
    }
    InstallContext install;
    RegisterPlugin(hosts, {HostRelease::R2024, HostRelease::R2025}, "C:\\T\\T-ZozerIded", install);
    const char elsewhere[] = "C:\\Elsewhere\\TX_ZozerIded2023.GRX";
    ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, kProfile + "25\\Applications\\TX_ZozerIded2025",
                         "LOADER", REG_SZ, elsewhere, sizeof(elsewhere)));
    ASSERT_EQ(
        RegDeleteTreeA(HKEY_CURRENT_USER, (kProfile + "25\\Applications\\Torvex2025DLLP").c_str()),
        0);
    RunLog log;
    Findings findings(log);
    VerifyAccountEntries("C:\\T\\T-ZozerIded", served, findings);
    std::vector<Verdict> verdicts;
    for (const Findings::Item& item : findings.Items()) verdicts.push_back(item.verdict);
    EXPECT_EQ(verdicts,
              (std::vector<Verdict>{Verdict::AsInstalled, Verdict::AsInstalled, Verdict::NamesOther,
                                    Verdict::Missing, Verdict::NoProfile}));
}

TEST(VerifyKeptPackage, ASealedProgramKeepsExactlyWhatItsManifestHolds) {
    const ScratchRegistryRoots sandbox;  // and no record
    ASSERT_TRUE(sandbox.IsReady());
    const ScopedTempFolder install;
    const std::string data = (install / "Data").str() + "\\";
    Sha256 hash;
    hash.Update("kept", 4);
    const CString kept = hash.FinishHex().c_str();
    ASSERT_TRUE(driver::CreateFolders(data));
    InstallRecord record;
    for (const char* name : {"TX_ZozerIded2023.grx", "GCAD2024P.dll", "extra.dll"}) {
        ASSERT_TRUE(driver::WriteTextFile(data + name, "kept"));
        record.files.push_back({(data + name).c_str(), 4, InstallRecord::Origin::New, kept});
    }
    PackageManifest manifest;
    // Never kept: a file in a subfolder, one that goes nowhere.
    for (const char* name : {"TX_ZozerIded2023.grx", "GCAD2024P.dll", "Torvex_HZ.shx",
                             "Fonts\\Torvex_EN.shx", "Torvex.prt5"}) {
        manifest.files.push_back({name, 4, kept});
    }
    manifest.files[1].sha256 = CString(std::string(64, '0'));
    RunLog log;
    Findings findings(log);
    VerifyKeptPackage(EarlierRecords::Read(), install.Path(), &manifest, findings);
    VerifyRecordedFiles(record, ServedPlaces(install.Path()), &manifest, findings);
    std::vector<std::string> notSealed;
    for (const Findings::Item& item : findings.Items()) {
        if (item.verdict == Verdict::NotAsSealed) notSealed.push_back(item.subject.str());
    }
    EXPECT_EQ(notSealed, (std::vector<std::string>{data + "GCAD2024P.dll", data + "Torvex_HZ.shx",
                                                   data + "extra.dll"}));
}

}  // namespace
