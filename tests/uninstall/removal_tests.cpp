// Removing an installation from its record on Wine's real file system and a
// sandboxed registry: the record is input, and each finding of the
// uninstaller's review is a case here.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "hosts/found_hosts.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "removal/restart_queue.h"
#include "run/product_version.h"
#include "run/run_log.h"
#include "system/file_ops.h"
#include "system/sha256.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "text/path_text.h"
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

TEST_F(RemovalTest, AHostsOwnFileComesBackUnlessThePluginsCopyChangedOrIsUnproven) {
    const struct {
        const char* name;
        const char* since;  // what the plug-in's file was changed to since, or null
        bool hashed;        // the record holds the SHA-256 of the plug-in's file
        const char* there;  // what lies in its place afterwards
        bool keptStays;
    } rows[] = {
        {"itextsharp.dll", nullptr, true, "the host's", false},
        // The host's newer file: its older one kept goes.
        {"Fonts\\Torvex_EN.shx", "updated by the host since", true, "updated by the host since",
         false},
        // Nothing proves the file there the plug-in's: both stay.
        {"GCAD2024P.dll", nullptr, false, "the package's", true},
    };
    ASSERT_TRUE(driver::CreateFolders((install + "\\Kept").str()));
    for (const auto& row : rows) {
        const CString path = Installed(host + "\\" + row.name, "the package's");
        if (!row.hashed) record.files.back().sha256 = CString();
        if (row.since) {
            ASSERT_TRUE(driver::WriteTextFile(path.str(), row.since));
        }
        const CString kept = install + "\\Kept\\" + FileNameOf(path);
        ASSERT_TRUE(driver::WriteTextFile(kept.str(), "the host's"));
        record.keptFiles.push_back({path, kept});
    }

    const UninstallOutcome outcome = Remove();
    for (const auto& row : rows) {
        EXPECT_EQ(ReadTextFile((host + "\\" + row.name).str()), row.there) << row.name;
        const CString kept = install + "\\Kept\\" + FileNameOf(row.name);
        EXPECT_EQ(FileExists(kept.str()), row.keptStays) << row.name;
    }
    EXPECT_EQ(outcome.restoredFiles, 1);
}

TEST_F(RemovalTest, FilesInUseGoAtTheNextRestartAndTheirFolderAfterThem) {
    // A host's module the host has loaded, and one in the installation folder.
    const CString modules[] = {Installed(host + "\\GCAD2024P.dll"),
                               Installed(install + "\\TX_ZozerIded2023.grx")};
    record.createdFolders = {install};
    std::vector<afx::ScopedKernelHandle> held;
    for (const CString& module : modules) {
        held.emplace_back(
            CreateFileA(module, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.back()) << module;
    }
    const UninstallOutcome outcome = Remove();
    EXPECT_EQ(outcome.scheduled, std::vector<CString>(std::begin(modules), std::end(modules)));
    EXPECT_TRUE(outcome.NeedsRestart());
    EXPECT_EQ(outcome.notRemoved, 0);
    // All the plug-in's own deletions: an installation before the restart
    // may take them out again.
    const RestartQueue queue;
    for (const CString& path : {modules[0], modules[1], install}) {
        EXPECT_TRUE(queue.HoldsOwnDeletionOf(path)) << path;
    }
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
