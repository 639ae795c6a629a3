// Removing an installation from its record on Wine's real file system and a
// sandboxed registry: the record is input, and each finding of the
// uninstaller's review is a case here.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "hosts/found_hosts.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/product_version.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/sha256.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "tools/driver/sample_machine.h"
#include "uninstall/removal.h"
#include "uninstall/uninstaller.h"

namespace {

using driver::FileExists;
using driver::ReadTextFile;
using Origin = InstallRecord::Origin;

constexpr char kHostKey[] = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\";

class RemovalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.IsReady());
        for (const char* folder : {"inst", "host", "host\\Fonts", "victim"}) {
            ASSERT_TRUE(driver::CreateFolders((temp / folder).str()));
        }
        record.installFolder = install;
        record.releases = {{2025, host, kHostKey}};
    }
    // A file the installation wrote: on disk and in the record, as new.
    CString Installed(const CString& path, const std::string& content = "installed") {
        EXPECT_TRUE(driver::WriteTextFile(path.str(), content));
        Sha256 hash;
        hash.Update(content.data(), content.size());
        record.files.push_back({path, content.size(), Origin::New, CString(hash.FinishHex())});
        return path;
    }
    UninstallOutcome Remove() {
        ServedPlaces places(install);
        places.AddHost(host, kHostKey);
        UninstallOutcome outcome;
        RemoveInstallation(record, places, CString(), CString(), outcome, log);
        return outcome;
    }

    ScratchRegistryRoots registry;
    ScopedTempFolder temp;
    const CString install = temp / "inst";
    const CString host = temp / "host";
    InstallRecord record;
    RunLog log;
};

TEST_F(RemovalTest, TheRecordCannotWidenThePlacesItMayTouch) {
    const CString own = Installed(install + "\\TX_ZozerIded2023.grx");
    // Lines an attacker may write: a release of their own, a path that
    // climbs out, a folder to remove.
    record.releases.push_back({2024, temp / "victim", kHostKey});
    const CString victims[] = {Installed(temp / "victim\\secret2.txt"),
                               Installed(install + "\\../victim/secret.txt")};
    record.createdFolders = {temp / "victim"};
    // Files that changed since they were installed: the host's own now,
    // whatever their size; and one an earlier version recorded without a hash.
    const CString changed = Installed(host + "\\GCAD2024P.dll");
    ASSERT_TRUE(driver::WriteTextFile(changed.str(), "the user's own since"));
    const CString updated = Installed(host + "\\itextsharp.dll", "version 1");
    ASSERT_TRUE(driver::WriteTextFile(updated.str(), "version 2"));
    const CString unproven = Installed(host + "\\GCAD2025P.dll");
    record.files.back().sha256 = CString();

    const UninstallOutcome outcome = Remove();
    EXPECT_FALSE(FileExists(own.str()));
    for (const CString& victim : victims) EXPECT_TRUE(FileExists(victim.str())) << victim;
    EXPECT_TRUE(driver::FolderExists((temp / "victim").str()));
    EXPECT_EQ(ReadTextFile(changed.str()), "the user's own since");
    EXPECT_EQ(ReadTextFile(updated.str()), "version 2");
    EXPECT_TRUE(FileExists(unproven.str()));
    EXPECT_EQ(outcome.removedFiles, 1);
    EXPECT_EQ(outcome.left.size(), 3u) << "the three named in the final box";
    // A release this machine no longer has keeps its files, and says so.
    ASSERT_EQ(outcome.hostsNotFound.size(), 1u);
    EXPECT_EQ(outcome.hostsNotFound[0], temp / "victim");
}

TEST_F(RemovalTest, NothingIsRemovedThroughALinkedHostFolder) {
    // The host folder is replaced by a link to a folder with files of the
    // same names and content, a font in its fonts folder among them.
    for (const char* name : {"GCAD2024P.dll", "Fonts\\Torvex_EN.shx"}) {
        Installed(host + "\\" + name);
        ASSERT_TRUE(driver::CreateFolders((temp / "victim\\Fonts").str()));
        ASSERT_TRUE(driver::WriteTextFile((temp / "victim\\" + name).str(), "installed"));
    }
    driver::RemoveTree(host.str());
    ASSERT_TRUE(MakeUnixLink(temp.Path().str(), "victim", "host"));
    ASSERT_TRUE(IsReparsePoint(host));

    Remove();
    EXPECT_TRUE(FileExists((temp / "victim\\GCAD2024P.dll").str()));
    EXPECT_TRUE(FileExists((temp / "victim\\Fonts\\Torvex_EN.shx").str()));
    EXPECT_TRUE(RemoveUnixLink(temp.Path().str(), "host"));
}

TEST_F(RemovalTest, AHostsOwnFileComesBackUnlessThePluginsCopyChanged) {
    ASSERT_TRUE(driver::CreateFolders((install + "\\Kept").str()));
    const CString library = Installed(host + "\\itextsharp.dll", "the package's");
    ASSERT_TRUE(driver::WriteTextFile((install + "\\Kept\\itextsharp.dll").str(), "the host's"));
    record.keptFiles.push_back({library, install + "\\Kept\\itextsharp.dll"});
    const CString font = Installed(host + "\\Fonts\\Torvex_EN.shx", "the package's");
    ASSERT_TRUE(driver::WriteTextFile((install + "\\Kept\\Torvex_EN.shx").str(), "the host's"));
    record.keptFiles.push_back({font, install + "\\Kept\\Torvex_EN.shx"});
    ASSERT_TRUE(driver::WriteTextFile(font.str(), "updated by the host since"));

    const UninstallOutcome outcome = Remove();
    EXPECT_EQ(ReadTextFile(library.str()), "the host's");
    EXPECT_EQ(ReadTextFile(font.str()), "updated by the host since");
    EXPECT_EQ(outcome.restoredFiles, 1);
    EXPECT_FALSE(FileExists((install + "\\Kept\\Torvex_EN.shx").str()));
}

TEST_F(RemovalTest, AFileInUseGoesAtTheNextRestart) {
    const CString module = Installed(host + "\\GCAD2024P.dll");
    const afx::ScopedKernelHandle held(
        CreateFileA(module, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    const UninstallOutcome outcome = Remove();
    ASSERT_EQ(outcome.scheduled.size(), 1u);
    EXPECT_EQ(outcome.scheduled[0], module);
    EXPECT_TRUE(outcome.NeedsRestart());
    EXPECT_EQ(outcome.notRemoved, 0);
}

TEST_F(RemovalTest, KeysGoTheDeepestFirstWhateverTheRecordsOrder) {
    const std::string applications = std::string(kHostKey) + "Applications";
    for (const std::string& key :
         {applications + "\\TX_ZozerIded2025", applications + "\\Torvex2025DLLP"}) {
        ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, key));
    }
    // As a merged record lists them: the "Applications" key first.
    record.keys = {{applications.c_str(), Origin::New},
                   {(applications + "\\TX_ZozerIded2025").c_str(), Origin::New},
                   {(applications + "\\Torvex2025DLLP").c_str(), Origin::New},
                   {"SOFTWARE\\Microsoft\\Elsewhere", Origin::New}};
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Elsewhere"));
    const UninstallOutcome outcome = Remove();
    EXPECT_FALSE(driver::KeyExists(HKEY_CURRENT_USER, applications));
    EXPECT_TRUE(driver::KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Elsewhere"));
    EXPECT_EQ(outcome.removedKeys, 3);
}

TEST_F(RemovalTest, TheEntryGoesOnlyWhenItNamesThisInstallation) {
    ASSERT_TRUE(WriteUninstallEntry({temp / "elsewhere\\T-ZozerIded", kSetupVersion, 1}));
    Remove();
    EXPECT_EQ(ReadInstalledFolder(), temp / "elsewhere\\T-ZozerIded");
    ASSERT_TRUE(WriteUninstallEntry({install, kSetupVersion, 1}));
    Remove();
    EXPECT_TRUE(ReadInstalledFolder().IsEmpty());
}

TEST_F(RemovalTest, AnUninstallThatCannotFinishKeepsItsMarkAndRecord) {
    const CString file = Installed(install + "\\TX_ZozerIded2023.grx");
    ASSERT_TRUE(
        WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, FormatInstallRecord(record)));
    ASSERT_TRUE(WritePluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue, install));
    // The Active Setup entry, which goes first, cannot be deleted: its tree
    // cannot be read (Wine grants DELETE whatever a key's permissions say).
    const ScopedKeyDenial entry(CreateKey(HKEY_LOCAL_MACHINE, kActiveSetupKey), "KR");
    ASSERT_TRUE(entry.IsApplied());
    FinishInterruptedUninstall(CString(), FoundHosts(), log);
    CString mark;
    EXPECT_TRUE(ReadPluginValue(HKEY_LOCAL_MACHINE, kUninstallUnderWayValue, &mark));
    EXPECT_EQ(mark, install);
    InstallRecord left;
    EXPECT_EQ(ReadInstallRecord(install, &left), RecordSource::MachineCopy);
    EXPECT_TRUE(FileExists(file.str())) << "nothing of the installation goes before the entry";
}

}  // namespace
