// The record's two stores on Wine's real file system and a sandboxed
// registry: which one is believed when they differ.
#include <gtest/gtest.h>
#include <windows.h>

#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "record/record_store.h"
#include "run/product_version.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"

namespace {

using driver::WriteTextFile;
using Origin = InstallRecord::Origin;

TEST(RecordStore, TheMachineCopyIsBelievedOverTheRecordFile) {
    const ScratchRegistryRoots registry;
    ASSERT_TRUE(registry.IsReady());
    const ScopedTempFolder temp;
    const CString install = temp / "T-ZozerIded";
    ASSERT_TRUE(driver::CreateFolders(install.str()));
    InstallRecord record;
    record.installFolder = install;
    record.files = {{install + "\\a.dll", 3, Origin::New},
                    {temp / "host\\GCAD2024P.dll", 3, Origin::New}};
    ASSERT_TRUE(WriteUninstallEntry({install, kSetupVersion, 1}));
    InstallRecord dropped = record;  // an administrator's edit, or a damaged file
    dropped.files.pop_back();
    InstallRecord added = record;  // a host's own file claimed as the plug-in's
    added.files.push_back({temp / "host\\itextsharp.dll", 3, Origin::New});
    InstallRecord elsewhere = record;
    elsewhere.installFolder = temp / "B\\T-ZozerIded";
    const struct {
        const InstallRecord* file;
        const InstallRecord* copy;  // none: lost
        RecordSource source;
        size_t files;
    } rows[] = {{&dropped, &record, RecordSource::MachineCopy, 2},
                {&added, &record, RecordSource::MachineCopy, 2},
                {&added, nullptr, RecordSource::File, 3},
                {&record, &elsewhere, RecordSource::None, 0}};
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteTextFile((install + "\\InstallRecord.txt").str(),
                                  FormatInstallRecord(*row.file).str()));
        DeletePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue);
        if (row.copy) {
            ASSERT_TRUE(WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue,
                                         FormatInstallRecord(*row.copy)));
        }
        // The uninstaller's read, and the one an installation makes at its start.
        InstallRecord read;
        EXPECT_EQ(ReadInstallRecord(install, &read), row.source) << &row - rows;
        EXPECT_EQ(read.files.size(), row.files) << &row - rows;
        EXPECT_EQ(EarlierRecords::Read().RecordOf(install, &read), row.source) << &row - rows;
        EXPECT_EQ(read.files.size(), row.files) << &row - rows;
    }
}

}  // namespace
