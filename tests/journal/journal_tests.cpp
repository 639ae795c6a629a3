// The journal on Wine's real file system and a sandboxed registry: written
// ahead of every change, so that a run killed half way is undone (or
// finished) by the next one; and the record kept twice.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "entries/active_setup.h"
#include "entries/plugin_key.h"
#include "entries/uninstall_entry.h"
#include "journal/install_journal.h"
#include "journal/record_file.h"
#include "journal/recovery.h"
#include "record/file_ownership.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "removal/restart_queue.h"
#include "run/product_version.h"
#include "system/file_ops.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/temp_folder.h"
#include "text/path_text.h"
#include "tools/driver/sample_machine.h"

namespace {

using driver::FileExists;
using driver::ReadTextFile;
using driver::WriteTextFile;
using Origin = InstallRecord::Origin;

// A path that makes a record larger than any the setup reads back.
constexpr size_t kHugePathBytes = 5 * 1024 * 1024;
// SHA-256 of "abc".
constexpr char kAbcHash[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

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

TEST_F(JournalTest, AnInstallationUndoneAtOnceOrKilledIsUndoneWhole) {
    const CString old = install + "\\old.dll";
    // Rolled back at once (an aborted copy), or killed and undone by the next run.
    for (const bool killed : {false, true}) {
        // A read-only file: the journal clears the attribute to set it aside.
        ASSERT_TRUE(WriteTextFile(old.str(), "old"));
        ASSERT_TRUE(SetFileAttributesA(old, FILE_ATTRIBUTE_READONLY));
        {
            InstallJournal journal(log);
            ASSERT_TRUE(journal.MakeDurable(install));
            ASSERT_TRUE(journal.CreateFolder(install + "\\Kept"));
            ASSERT_TRUE(journal.InstallFile(source, install + "\\Kept\\new.dll"));
            ASSERT_TRUE(journal.InstallFile(source, old));
            if (!killed) journal.Rollback(ServedPlaces(install));
        }
        if (killed) {
            EXPECT_EQ(InterruptedInstallationFolder(), install);
            EXPECT_TRUE(RecoverInterruptedInstallation(ServedPlaces(install), log));
        }
        EXPECT_EQ(ReadTextFile(old.str()), "old") << killed;
        EXPECT_TRUE(GetFileAttributesA(old) & FILE_ATTRIBUTE_READONLY) << killed;
        ASSERT_TRUE(SetFileAttributesA(old, FILE_ATTRIBUTE_NORMAL));
        EXPECT_FALSE(driver::FolderExists((install + "\\Kept").str())) << killed;
        EXPECT_FALSE(FileExists((install + "\\InstallJournal.txt").str())) << killed;
        EXPECT_TRUE(InterruptedInstallationFolder().IsEmpty()) << killed;
    }
    EXPECT_FALSE(RecoverInterruptedInstallation(ServedPlaces(install), log)) << "only once";
}

TEST_F(JournalTest, AFileIsSetAsideOnlyOnceItsLineIsOnTheDisk) {
    ASSERT_TRUE(WriteTextFile((install + "\\old.dll").str(), "old"));
    ASSERT_TRUE(WriteTextFile((temp / "itextsharp.dll").str(), "the host's"));
    InstallJournal journal(log);
    ASSERT_TRUE(journal.MakeDurable(install));
    int flushed = journal.Flushes();
    {
        // Held by a host: the move aside fails, after its line was flushed.
        const afx::ScopedKernelHandle held(CreateFileA(install + "\\old.dll", GENERIC_READ,
                                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                                       nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(journal.InstallFile(source, install + "\\old.dll"));
        EXPECT_EQ(journal.Flushes(), ++flushed) << "replace";
    }
    ASSERT_TRUE(
        journal.InstallFile(source, temp / "itextsharp.dll", Origin::New, install + "\\Kept"));
    EXPECT_EQ(journal.Flushes(), ++flushed) << "keep";
    ServedPlaces places(install);
    places.AddHost(temp.Path(), "H\\");
    journal.Rollback(places);
    EXPECT_EQ(ReadTextFile((temp / "itextsharp.dll").str()), "the host's");
}

TEST_F(JournalTest, AFileSetAsideAndStillInUseGoesAtTheNextRestart) {
    ASSERT_TRUE(WriteTextFile((install + "\\old.dll").str(), "old"));
    InstallJournal journal(log);
    ASSERT_TRUE(journal.InstallFile(source, install + "\\old.dll"));
    const CString aside = install + "\\old.dll.setup-old";
    const afx::ScopedKernelHandle held(
        CreateFileA(aside, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    journal.Commit();
    journal.Finish(ServedPlaces(install));
    // The plug-in's own: an installation before the restart need not wait.
    EXPECT_TRUE(RestartQueue().HoldsOwnDeletionOf(aside));
}

TEST_F(JournalTest, ADeletionOnAShareIsQueuedAsWindowsNamesItAndKnownAsTheSetupsOwn) {
    const CString share = "\\\\server\\share\\T-ZozerIded";
    ASSERT_TRUE(QueueDeletionAtRestart(share + "\\a.dll", ServedPlaces(share)));
    wchar_t queued[MAX_PATH] = {};
    DWORD size = sizeof(queued);
    ASSERT_EQ(
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                     L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, queued, &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(queued, L"\\??\\UNC\\server\\share\\T-ZozerIded\\a.dll");
    EXPECT_TRUE(RestartQueue().HoldsOwnDeletionOf(share + "\\a.dll"));
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
    // Undone by the run itself, and by the next run after this one was killed.
    for (const bool killed : {false, true}) {
        ASSERT_TRUE(WriteTextFile(module.str(), "left by the uninstaller"));
        ASSERT_TRUE(QueueDeletionAtRestart(module, ServedPlaces(install)));
        {
            InstallJournal journal(log);
            ASSERT_TRUE(journal.MakeDurable(install));
            ASSERT_TRUE(journal.InstallFile(source, module));
            EXPECT_FALSE(RestartQueue().HoldsOwnDeletionOf(module));
            if (!killed) journal.Rollback(ServedPlaces(install));
        }
        EXPECT_EQ(killed, RecoverInterruptedInstallation(ServedPlaces(install), log));
        EXPECT_EQ(ReadTextFile(module.str()), "left by the uninstaller") << killed;
        RestartQueue queue;
        EXPECT_TRUE(queue.HoldsOwnDeletionOf(module)) << killed;
        ASSERT_TRUE(queue.TakeOutOwnDeletion(module));
    }
}

TEST_F(JournalTest, TheRecoveryRemovesTheFoldersTheKilledRunMadeAndNothingBesideThem) {
    // A chosen folder whose parent was missing too.
    const CString chosen = temp / "A\\Apps";
    const CString folder = chosen + "\\T-ZozerIded";
    // Somebody's folder and file in a sibling whose name differs by a
    // trailing space, which Windows keeps on a name before the last.
    const CString sibling = temp / "A \\Apps\\T-ZozerIded";
    ASSERT_TRUE(CreateDirectoryA("\\\\?\\" + temp / "A ", nullptr));
    ASSERT_TRUE(CreateDirectoryA(temp / "A \\Apps", nullptr));
    ASSERT_TRUE(CreateDirectoryA(sibling, nullptr));
    ASSERT_TRUE(WriteTextFile((sibling + "\\new.dll").str(), "theirs"));
    {
        InstallJournal journal(log);
        ASSERT_TRUE(journal.CreateFolderChain(chosen) && journal.CreateFolder(folder));
        ASSERT_TRUE(journal.MakeDurable(folder));
        ASSERT_TRUE(journal.InstallFile(source, folder + "\\new.dll"));
    }
    // Killed before it made a key it noted; lines that name the sibling's in
    // their raw text.
    const char* host = "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\zh-CN\\";
    const std::string journal = (folder + "\\InstallJournal.txt").str();
    ASSERT_TRUE(WriteTextFile(journal, ReadTextFile(journal) + "key\t" + host +
                                           "Applications\r\nfolder\t" + sibling.str() +
                                           "\r\nnew\t" + sibling.str() + "\\new.dll\r\n"));
    ServedPlaces places(folder);
    places.AddHost(temp / "host", host);
    {
        RunLog recovery;
        CString refusal;
        ASSERT_TRUE(recovery.Open(temp / "recovery.log", false, &refusal));
        EXPECT_TRUE(RecoverInterruptedInstallation(places, recovery));
    }
    const std::string logged = ReadTextFile((temp / "recovery.log").str());
    EXPECT_FALSE(driver::FolderExists((temp / "A").str())) << logged;
    EXPECT_TRUE(DeleteFileA(sibling + "\\new.dll")) << "the sibling's file went";
    EXPECT_TRUE(RemoveDirectoryA(sibling)) << "the sibling's folder went";
    EXPECT_TRUE(RemoveDirectoryA(temp / "A \\Apps") && RemoveDirectoryA("\\\\?\\" + temp / "A "));
    // After the two lines that say what was found, every line is a removal
    // done: none left as outside the served places, none failed, whatever
    // their wording.
    std::istringstream lines(logged);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        if (++number <= 2) continue;
        const std::string done = ": ok\r";
        EXPECT_TRUE(line.find(" remove ") != std::string::npos && line.size() >= done.size() &&
                    line.compare(line.size() - done.size(), done.size(), done) == 0)
            << line;
    }
    EXPECT_GE(number, 5) << logged;  // the three folders made went, and said so
}

TEST_F(JournalTest, AMoveKilledAfterItsCommitIsFinishedByTheNextRun) {
    const CString earlier = temp / "old\\T-ZozerIded";
    ASSERT_TRUE(driver::CreateFolders(earlier.str()));
    for (const char* name : {"a.dll", "b.dll", "c.dll"}) {
        ASSERT_TRUE(WriteTextFile((earlier + "\\" + name).str(), "abc"));
    }
    ASSERT_TRUE(WriteTextFile((temp / "victim.dll").str(), "abc"));
    {
        InstallJournal journal(log);
        ASSERT_TRUE(journal.MakeDurable(install));
        ASSERT_TRUE(journal.NameEarlierFolderBesideMark(earlier));
        for (const CString& file :
             {earlier + "\\a.dll", earlier + "\\b.dll", temp / "victim.dll"}) {
            journal.FinishAfterCommit(
                {JournalLine::Kind::RemoveFile, file, CString(), 3, kAbcHash});
        }
        // A line without a SHA-256 proves nothing: the file stays.
        journal.FinishAfterCommit(
            {JournalLine::Kind::RemoveFile, earlier + "\\c.dll", CString(), 3});
        journal.FinishAfterCommit({JournalLine::Kind::RemoveFolder, earlier, CString()});
        journal.Commit();
        // Killed before the work after the commit.
    }
    ASSERT_TRUE(WriteTextFile((earlier + "\\b.dll").str(), "changed since"));
    EXPECT_TRUE(RecoverInterruptedInstallation(ServedPlaces(install), log));
    EXPECT_FALSE(FileExists((earlier + "\\a.dll").str()));
    EXPECT_EQ(ReadTextFile((earlier + "\\b.dll").str()), "changed since");
    EXPECT_TRUE(FileExists((earlier + "\\c.dll").str()));
    EXPECT_TRUE(FileExists((temp / "victim.dll").str())) << "outside the places served";
    EXPECT_TRUE(InterruptedInstallationFolder().IsEmpty());
}

TEST_F(JournalTest, ARecoveryLeavesNoEntryNamingAProgramItTookAway) {
    const CString stage = install + "\\UserSetup.exe";
    {
        InstallJournal journal(log);
        ASSERT_TRUE(journal.MakeDurable(install));
        ASSERT_TRUE(journal.InstallFile(source, install + "\\Uninstall.exe"));
        ASSERT_TRUE(journal.InstallFile(source, stage));
        ASSERT_TRUE(WriteUninstallEntry({install, kSetupVersion, 1}));
        ASSERT_TRUE(WriteActiveSetupEntry(UserStageCommand(stage, kStartedByActiveSetup), "1"));
        // Killed just before its commit.
    }
    EXPECT_TRUE(RecoverInterruptedInstallation(ServedPlaces(install), log));
    CString command, version;
    EXPECT_TRUE(ReadInstalledFolder().IsEmpty());
    EXPECT_FALSE(ReadActiveSetupEntry(&command, &version)) << command;
}

// A file held without sharing by another thread, let go after a while.
struct Hold {
    HANDLE file;
    DWORD ms;
};
DWORD WINAPI LetGoLater(void* hold) {
    Sleep(static_cast<Hold*>(hold)->ms);
    CloseHandle(static_cast<Hold*>(hold)->file);
    return 0;
}

TEST_F(JournalTest, AFileHeldForAScanIsReadOnceFreeAndOneHeldLongerIsInUse) {
    const CString file = temp / "held.dll";
    ASSERT_TRUE(WriteTextFile(file.str(), "abc"));
    for (const DWORD ms : {kInUseWaitMs / 4, kInUseWaitMs * 2}) {
        Hold hold{CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), ms};
        ASSERT_NE(hold.file, INVALID_HANDLE_VALUE);
        const afx::ScopedKernelHandle thread(
            CreateThread(nullptr, 0, LetGoLater, &hold, 0, nullptr));
        const FileNow now = ReadFileNow(file, 3);
        EXPECT_EQ(now.unreadable, ms > kInUseWaitMs) << ms;
        EXPECT_EQ(now.sha256, ms > kInUseWaitMs ? "" : kAbcHash) << ms;
        WaitForSingleObject(thread.Get(), INFINITE);
    }
}

// Whether the key is there, and every value of it with its type and data.
std::string ValuesOf(HKEY root, const char* path) {
    std::string out = driver::KeyExists(root, path) ? "key" : "none";
    for (const std::string& name : driver::ValueNames(root, path)) {
        std::string data(4096, '\0');
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        RegGetValueA(root, path, name.c_str(), RRF_RT_ANY, &type, &data[0], &size);
        out += "\n" + name + "=" + std::to_string(type) + ":" + data.substr(0, size);
    }
    return out;
}

TEST_F(JournalTest, ARunKilledBeforeItsCommitPutsBackTheMachineEntriesAsTheyWere) {
    const CString stage = install + "\\UserSetup.exe";
    const auto entries = [] {
        return ValuesOf(HKEY_LOCAL_MACHINE, kPluginKey) +
               ValuesOf(HKEY_LOCAL_MACHINE, kUninstallEntryKey) +
               ValuesOf(HKEY_LOCAL_MACHINE, kActiveSetupKey) +
               ValuesOf(HKEY_CURRENT_USER, kActiveSetupKey);
    };
    // None before; or an earlier installation's in this folder.
    for (const bool earlier : {false, true}) {
        if (earlier) {
            ASSERT_TRUE(WriteTextFile((install + "\\Uninstall.exe").str(), "earlier") &&
                        WriteTextFile(stage.str(), "earlier"));
            ASSERT_TRUE(WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, "earlier\tcopy"));
            ASSERT_TRUE(WriteUninstallEntry({install, 20251030, 1}));
            ASSERT_TRUE(WriteActiveSetupEntry(UserStageCommand(stage, kStartedByActiveSetup),
                                              "2025,10,30"));
            ASSERT_TRUE(StampActiveSetupDone("2025,10,30"));
        }
        const std::string before = entries();
        {
            InstallJournal journal(log);
            ASSERT_TRUE(journal.MakeDurable(install));
            ASSERT_TRUE(journal.InstallFile(source, install + "\\Uninstall.exe"));
            ASSERT_TRUE(journal.InstallFile(source, stage));
            using Kind = JournalLine::Kind;
            for (const Kind kind : {Kind::RecordCopy, Kind::UninstallEntry, Kind::ActiveSetupEntry,
                                    Kind::ActiveSetupStamp}) {
                ASSERT_TRUE(journal.NoteEntryChange(kind));
            }
            ASSERT_TRUE(WritePluginValue(HKEY_LOCAL_MACHINE, kRecordCopyValue, "this run's"));
            ASSERT_TRUE(WriteUninstallEntry({install, 20260315, 2}));
            ASSERT_TRUE(
                WriteActiveSetupEntry(UserStageCommand(stage, kStartedByActiveSetup), "2026,3,15"));
            ASSERT_TRUE(StampActiveSetupDone("2026,3,15"));
            // Killed just before its commit.
        }
        EXPECT_TRUE(RecoverInterruptedInstallation(ServedPlaces(install), log));
        EXPECT_EQ(entries(), before) << earlier;
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
    strange.Rollback(ServedPlaces(install));
    own.Rollback(ServedPlaces(install));
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
    EXPECT_EQ(ReadInstallRecord(install, &read), RecordSource::MachineCopy);
    // The file damaged: the machine's copy still answers; for another folder it does not.
    ASSERT_TRUE(WriteTextFile((install + "\\InstallRecord.txt").str(), "file\tdamaged\r\n"));
    EXPECT_EQ(ReadInstallRecord(install, &read), RecordSource::MachineCopy);
    EXPECT_EQ(read.files.at(0).path, install + "\\a.dll");
    EXPECT_EQ(ReadInstallRecord(temp / "elsewhere", &read), RecordSource::None);
    // Nor does the deletion of another folder's record take the copy along.
    DeleteInstallRecord(temp / "elsewhere");
    EXPECT_EQ(ReadInstallRecord(install, &read), RecordSource::MachineCopy);
    // A record that does not read back as written (here: beyond the read
    // limit) is refused, and the machine's copy stays the earlier one.
    InstallRecord huge = record;
    huge.files[0].path = install + "\\" + std::string(kHugePathBytes, 'a').c_str();
    InstallJournal big(log);
    EXPECT_FALSE(WriteInstallRecord(huge, big, log));
    ASSERT_EQ(ReadInstallRecord(install, &read), RecordSource::MachineCopy);
    EXPECT_EQ(read.files.at(0).path, install + "\\a.dll");
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
    // The size in KiB, rounded up.
    for (const auto& [bytes, kib] : {std::pair<unsigned long long, DWORD>{2048, 2}, {1500, 2}}) {
        ASSERT_TRUE(WriteUninstallEntry({install, 20260105, bytes}));
        DWORD value = 0;
        EXPECT_TRUE(
            driver::ReadDword(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "EstimatedSize", &value));
        EXPECT_EQ(value, kib) << bytes;
    }
    for (const auto& [name, expected] : {std::pair<const char*, DWORD>{"VersionMajor", 2026},
                                         {"VersionMinor", 1},
                                         {"NoModify", 0},
                                         {"NoRepair", 0}}) {
        DWORD value = 0;
        EXPECT_TRUE(driver::ReadDword(HKEY_LOCAL_MACHINE, kUninstallEntryKey, name, &value));
        EXPECT_EQ(value, expected) << name;
    }
    std::string version, publisher, date, modify;
    EXPECT_TRUE(driver::ReadString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "ModifyPath", &modify));
    EXPECT_EQ(modify, "\"" + (install + "\\Uninstall.exe").str() + "\" /MODIFY");
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
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"[x]\r\nv=1\r\n", "[x]\r\nv=2\r\n", false},
        {"[x]\r\nv=1", "[x]\r\nv=2", false},  // the last byte
        {"[x]\r\nv=1\r\n", "[x]\r\nv=1\r\n", true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteTextFile((temp / "a.ini").str(), c.a));
        ASSERT_TRUE(WriteTextFile((temp / "b.ini").str(), c.b));
        EXPECT_EQ(SameContent(temp / "a.ini", temp / "b.ini"), c.same) << c.b;
    }
}

}  // namespace
