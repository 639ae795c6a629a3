// The journal on Wine's real file system and a sandboxed registry: written
// ahead of every change, so that a run killed half way is undone (or
// finished) by the next one; and the record kept twice.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "lifecycle/install_journal.h"
#include "lifecycle/pending_restart.h"
#include "lifecycle/plugin_key.h"
#include "lifecycle/record_store.h"
#include "lifecycle/recovery.h"
#include "lifecycle/served_places.h"
#include "lifecycle/uninstall_entry.h"
#include "system/file_ops.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "tools/driver/sample_machine.h"

namespace {

using driver::FileExists;
using driver::ReadTextFile;
using driver::WriteTextFile;
using Origin = InstallRecord::Origin;

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registry.IsReady());
        ASSERT_TRUE(driver::CreateFolders(install.str()));
        ASSERT_TRUE(WriteTextFile(source.str(), "new"));
    }
    ScratchRegistryRoots registry;
    ScopedTempFolder temp;
    const CString install = temp / "T-ZozerIded";
    const CString source = temp / "package.dll";
    RunLog log;
};

TEST_F(JournalTest, AKilledInstallationIsUndoneByTheNextRun) {
    ASSERT_TRUE(WriteTextFile((install + "\\old.dll").str(), "old"));
    {
        InstallJournal journal(log);
        ASSERT_TRUE(journal.MakeDurable(install));
        ASSERT_TRUE(journal.CreateFolder(install + "\\Kept"));
        ASSERT_TRUE(journal.InstallFile(source, install + "\\new.dll"));
        ASSERT_TRUE(journal.InstallFile(source, install + "\\old.dll"));
        // Killed here: nothing rolls back, nothing commits.
    }
    EXPECT_EQ(InterruptedInstallationFolder(), install);
    EXPECT_TRUE(RecoverInterruptedInstallation(ServedPlaces(install), log));
    EXPECT_FALSE(FileExists((install + "\\new.dll").str()));
    EXPECT_EQ(ReadTextFile((install + "\\old.dll").str()), "old");
    EXPECT_FALSE(driver::FolderExists((install + "\\Kept").str()));
    EXPECT_FALSE(FileExists((install + "\\InstallJournal.txt").str()));
    EXPECT_TRUE(InterruptedInstallationFolder().IsEmpty());
    EXPECT_FALSE(RecoverInterruptedInstallation(ServedPlaces(install), log)) << "only once";
}

TEST_F(JournalTest, AnInstallationKilledWhileDroppingWhatItKeptIsFinished) {
    ASSERT_TRUE(WriteTextFile((install + "\\old.dll").str(), "old"));
    {
        InstallJournal journal(log);
        ASSERT_TRUE(journal.MakeDurable(install));
        ASSERT_TRUE(journal.InstallFile(source, install + "\\old.dll"));
    }
    // The commit was written, the file kept aside not yet dropped.
    std::string text = ReadTextFile((install + "\\InstallJournal.txt").str());
    ASSERT_TRUE(WriteTextFile((install + "\\InstallJournal.txt").str(), text + "commit\r\n"));
    EXPECT_TRUE(RecoverInterruptedInstallation(ServedPlaces(install), log));
    EXPECT_EQ(ReadTextFile((install + "\\old.dll").str()), "new");
    EXPECT_FALSE(FileExists((install + "\\old.dll.setup-old").str()));
}

TEST_F(JournalTest, TheUninstallersQueuedDeletionTakenOutIsQueuedAgainWhenTheRunIsUndone) {
    const CString module = install + "\\GCAD2024P.dll";
    ASSERT_TRUE(
        CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager"));
    // Undone by the run itself, and by the next run after this one was killed.
    for (const bool killed : {false, true}) {
        ASSERT_TRUE(WriteTextFile(module.str(), "left by the uninstaller"));
        ASSERT_TRUE(QueueDeletionAtRestart(module));
        RememberQueuedDeletion(module);
        {
            InstallJournal journal(log);
            ASSERT_TRUE(journal.MakeDurable(install));
            ASSERT_TRUE(journal.InstallFile(source, module));
            EXPECT_EQ(RestartQueue().For(module), QueuedForRestart::Nothing);
            if (!killed) journal.Rollback();
        }
        EXPECT_EQ(killed, RecoverInterruptedInstallation(ServedPlaces(install), log));
        EXPECT_EQ(ReadTextFile(module.str()), "left by the uninstaller") << killed;
        RestartQueue queue;
        EXPECT_EQ(queue.For(module), QueuedForRestart::OwnDeletion) << killed;
        ASSERT_TRUE(queue.TakeOutOwnDeletion(module));
    }
}

TEST_F(JournalTest, AFileFoundInTheFolderIsTheInstallationsOnlyWhenTheFolderIsItsOwn) {
    for (const char* name : {"a.dll", "b.dll"}) {
        ASSERT_TRUE(WriteTextFile((install + "\\" + name).str(), "there before"));
    }
    InstallJournal strange(log);
    ASSERT_TRUE(strange.InstallFile(source, install + "\\a.dll"));
    EXPECT_EQ(strange.Record(install).files.at(0).origin, Origin::Replaced);
    // The plug-in's own folder whose record was lost.
    InstallJournal own(log);
    own.TakeOverFolder(install);
    ASSERT_TRUE(own.InstallFile(source, install + "\\b.dll"));
    EXPECT_EQ(own.Record(install).files.at(0).origin, Origin::New);
    strange.Rollback();
    own.Rollback();
}

TEST_F(JournalTest, AHostsOwnFileIsKeptInTheInstallationFolder) {
    ASSERT_TRUE(driver::CreateFolders((temp / "host").str()));
    ASSERT_TRUE(WriteTextFile((temp / "host\\itextsharp.dll").str(), "the host's"));
    // A read-only source (a package on a read-only medium): the copy stays writable.
    ASSERT_TRUE(SetFileAttributesA(source, FILE_ATTRIBUTE_READONLY));
    InstallJournal journal(log);
    ASSERT_TRUE(journal.CreateFolder(install + "\\Kept"));
    ASSERT_TRUE(journal.InstallFile(source, temp / "host\\itextsharp.dll", Origin::New,
                                    install + "\\Kept"));
    journal.Commit();
    EXPECT_FALSE(GetFileAttributesA(temp / "host\\itextsharp.dll") & FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(SetFileAttributesA(source, FILE_ATTRIBUTE_NORMAL));
    const InstallRecord record = journal.Record(install);
    ASSERT_EQ(record.keptFiles.size(), 1u);
    EXPECT_EQ(ReadTextFile(record.keptFiles[0].keptAs.str()), "the host's");
    EXPECT_EQ(record.files.back().origin, Origin::New);
}

TEST_F(JournalTest, TheRecordIsKeptTwiceAndCheckedWhenWritten) {
    InstallRecord record;
    record.installFolder = install;
    record.files = {{install + "\\a.dll", 3, Origin::New}};
    InstallJournal journal(log);
    ASSERT_TRUE(WriteInstallRecord(record, journal, log));
    journal.Commit();
    InstallRecord read;
    EXPECT_EQ(ReadInstallRecord(install, &read), RecordSource::File);
    // Lost or damaged: the machine's copy answers; for another folder it does not.
    ASSERT_TRUE(WriteTextFile((install + "\\InstallRecord.txt").str(), "file\tdamaged\r\n"));
    EXPECT_EQ(ReadInstallRecord(install, &read), RecordSource::MachineCopy);
    EXPECT_EQ(read.files.at(0).path, install + "\\a.dll");
    EXPECT_EQ(ReadInstallRecord(temp / "elsewhere", &read), RecordSource::None);
    // A record that cannot be written leaves no half file behind.
    ASSERT_TRUE(DeleteFileA(install + "\\InstallRecord.txt"));
    ASSERT_TRUE(CreateDirectoryA(install + "\\InstallRecord.txt", nullptr));
    InstallJournal second(log);
    EXPECT_FALSE(WriteInstallRecord(record, second, log));
    EXPECT_FALSE(FileExists((install + "\\InstallRecord.txt.new").str()));
}

TEST_F(JournalTest, TheEntryTellsItsSizeVersionPublisherAndDateAndItsNameInChinese) {
    const auto today = [] {  // yyyymmdd, as Programs and Features reads InstallDate
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return std::to_string(now.wYear * 10000 + now.wMonth * 100 + now.wDay);
    };
    const std::string dayBefore = today();
    ASSERT_TRUE(WriteUninstallEntry({install, 20260105, 1500}));
    for (const auto& [name, expected] : {std::pair<const char*, DWORD>{"EstimatedSize", 2},
                                         {"VersionMajor", 2026},
                                         {"VersionMinor", 1}}) {
        DWORD value = 0;
        EXPECT_TRUE(driver::ReadDword(HKEY_LOCAL_MACHINE, kUninstallEntryKey, name, &value));
        EXPECT_EQ(value, expected) << name;
    }
    std::string version, publisher, date;
    EXPECT_TRUE(
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "DisplayVersion", &version));
    EXPECT_TRUE(
        driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "Publisher", &publisher));
    EXPECT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "InstallDate", &date));
    EXPECT_EQ(version + " " + publisher, "2026.01.05 Torvex");
    EXPECT_TRUE(date == dayBefore || date == today()) << date;  // midnight may pass
    // Read back as Unicode whatever the system's code page (the test runs
    // under 936 and under 1252).
    wchar_t name[64] = {};
    DWORD size = sizeof(name);
    ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE,
                           L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
                           L"\\Torvex T-ZozerIded",
                           L"DisplayName", RRF_RT_REG_SZ, nullptr, name, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, L"T-\u6279\u6253\u5370\u8F6F\u4EF6");
}

TEST_F(JournalTest, SettingsOfTheSameLengthButOtherBytesDiffer) {
    ASSERT_TRUE(WriteTextFile((temp / "a.ini").str(), "[x]\r\nv=1\r\n"));
    ASSERT_TRUE(WriteTextFile((temp / "b.ini").str(), "[x]\r\nv=2\r\n"));
    ASSERT_TRUE(WriteTextFile((temp / "c.ini").str(), "[x]\r\nv=1\r\n"));
    EXPECT_FALSE(SameContent(temp / "a.ini", temp / "b.ini"));
    EXPECT_TRUE(SameContent(temp / "a.ini", temp / "c.ini"));
}

}  // namespace
