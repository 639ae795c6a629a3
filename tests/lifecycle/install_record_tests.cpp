// The install record survives being written and read back, whatever bytes
// its paths and key names hold, and an upgrade keeps what the first
// installation created the installation's to remove.
#include <gtest/gtest.h>

#include <string>

#include "lifecycle/file_ownership.h"
#include "lifecycle/install_record.h"
#include "lifecycle/journal_line.h"

namespace {

using Origin = InstallRecord::Origin;

constexpr char kHash[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

InstallRecord Sample() {
    InstallRecord r;
    r.version = "2025.10.30";
    r.installFolder = "D:\\\xD5\x5C\\T-ZozerIded";  // 誠, trail byte 0x5C
    r.releases = {{2025, "C:\\Hosts\\GstarCAD2025", "SOFTWARE\\Gstarsoft\\GstarCAD\\R25\\a\tb\\"}};
    r.createdFolders = {"D:\\\xD5\x5C", "D:\\\xD5\x5C\\T-ZozerIded"};
    r.files = {{"D:\\\xD5\x5C\\T-ZozerIded\\TX_ZozerIded2023.grx", 1234, Origin::New, kHash},
               {"C:\\Hosts\\GstarCAD2025\\itextsharp.dll", 0, Origin::Replaced},
               {"C:\\AppData\\Torvex\\Torvex.Ini", 18446744073709551615ull, Origin::Settings},
               // A field that ends in an escaped byte.
               {"C:\\100%", 7, Origin::New}};
    r.keys = {{"SOFTWARE\\Gstarsoft\\x%41\r\n\\Applications\\TX_ZozerIded2025", Origin::New}};
    r.keptFiles = {
        {"C:\\Hosts\\GstarCAD2025\\itextsharp.dll", "D:\\T-ZozerIded\\Kept\\itextsharp.dll%"}};
    return r;
}

void ExpectSame(const InstallRecord& a, const InstallRecord& b) {
    EXPECT_EQ(FormatInstallRecord(a), FormatInstallRecord(b));
    ASSERT_EQ(a.files.size(), b.files.size());
    for (size_t i = 0; i < a.files.size(); ++i) {
        EXPECT_EQ(a.files[i].path, b.files[i].path);
        EXPECT_EQ(a.files[i].size, b.files[i].size);
        EXPECT_EQ(a.files[i].origin, b.files[i].origin);
        EXPECT_EQ(a.files[i].sha256, b.files[i].sha256);
    }
    ASSERT_EQ(a.keptFiles.size(), b.keptFiles.size());
    EXPECT_EQ(a.keptFiles[0].keptAs, b.keptFiles[0].keptAs);
    ASSERT_EQ(a.keys.size(), b.keys.size());
    EXPECT_EQ(a.keys[0].path, b.keys[0].path);
    ASSERT_EQ(a.releases.size(), b.releases.size());
    EXPECT_EQ(a.releases[0].hostKey, b.releases[0].hostKey);
    EXPECT_EQ(a.releases[0].year, b.releases[0].year);
    EXPECT_EQ(a.installFolder, b.installFolder);
    EXPECT_EQ(a.createdFolders.size(), b.createdFolders.size());
}

TEST(InstallRecord, RoundTripsEveryByteOfPathsAndKeyNames) {
    const InstallRecord written = Sample();
    const CString text = FormatInstallRecord(written);
    // One item a line: a tab or a line break inside a name never splits one.
    EXPECT_EQ(std::string(text).find("a\tb"), std::string::npos);
    InstallRecord read;
    ASSERT_TRUE(ParseInstallRecord(text, &read)) << text.GetString();
    ExpectSame(written, read);
}

TEST(InstallRecord, RefusesDamageButPassesOverWhatItDoesNotKnow) {
    const std::string text = FormatInstallRecord(Sample()).str();
    InstallRecord read;
    EXPECT_TRUE(ParseInstallRecord((text + "# a note\r\nlater-kind\tx\r\n").c_str(), &read));
    EXPECT_FALSE(ParseInstallRecord((text + "file\tnew\t12x\tC:\\x\r\n").c_str(), &read));
    EXPECT_FALSE(ParseInstallRecord((text + "key\tmaybe\tSOFTWARE\\x\r\n").c_str(), &read));
    EXPECT_FALSE(ParseInstallRecord((text + "created-folder\tC:\\%4\r\n").c_str(), &read));
    EXPECT_FALSE(ParseInstallRecord("version\t1\r\n", &read)) << "no installation folder";
    // A file's SHA-256 is 64 lower-case digits or nothing; an earlier
    // version's line has no such field at all.
    const std::string upper =
        "file\tnew\t3\tBA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61"
        "F20015AD\tC:\\x\r\n";
    EXPECT_FALSE(ParseInstallRecord((text + upper).c_str(), &read));
    EXPECT_FALSE(ParseInstallRecord((text + "file\tnew\t3\tabc\tC:\\x\r\n").c_str(), &read));
    ASSERT_TRUE(ParseInstallRecord((text + "file\tnew\t3\tC:\\x\r\n").c_str(), &read));
    EXPECT_EQ(read.files.back().path, "C:\\x");
    EXPECT_TRUE(read.files.back().sha256.IsEmpty());
}

TEST(FileOwnership, ARecordedFileIsThePlugInsOnlyWhileItsSizeAndHashAreTheRecordedOnes) {
    const InstallRecord::File recorded{"C:\\Host\\itextsharp.dll", 3, Origin::New, kHash};
    InstallRecord::File withoutHash = recorded;
    withoutHash.sha256 = CString();
    InstallRecord::File replaced = recorded;
    replaced.origin = Origin::Replaced;
    const CString other = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ae";
    const struct {
        const char* what;
        const InstallRecord::File& file;
        FileNow now;
        Ownership expected;
    } cases[] = {
        {"as installed", recorded, {true, 3, kHash}, Ownership::Own},
        {"updated by the host, same size", recorded, {true, 3, other}, Ownership::Changed},
        {"another size, not read", recorded, {true, 4, ""}, Ownership::Changed},
        {"the recorded size, unreadable", recorded, {true, 3, ""}, Ownership::Changed},
        {"deleted since", recorded, {false, 0, ""}, Ownership::Gone},
        {"an earlier version's record", withoutHash, {true, 3, kHash}, Ownership::Unproven},
        {"there before the installation", replaced, {true, 3, kHash}, Ownership::NotRecorded},
    };
    for (const auto& c : cases) EXPECT_EQ(JudgeRecordedFile(c.file, c.now), c.expected) << c.what;
}

TEST(InstallRecord, AnUpgradeKeepsWhatTheFirstInstallationCreated) {
    const InstallRecord first = Sample();
    InstallRecord second;
    second.installFolder = first.installFolder;
    // The second run found the first run's module and key in place.
    second.files = {{first.files[0].path, 99, Origin::Replaced}, {"D:\\new.dll", 5, Origin::New}};
    second.keys = {{first.keys[0].path, Origin::Replaced}};
    second.createdFolders = {};
    second.MergeEarlier(first);

    ASSERT_EQ(second.files.size(), first.files.size() + 1);
    EXPECT_EQ(second.files[0].origin, Origin::New);
    EXPECT_EQ(second.files[0].size, 99u) << "the size the second run installed";
    EXPECT_EQ(second.files[2].path, first.files[1].path) << "left untouched, still recorded";
    EXPECT_EQ(second.files[2].origin, Origin::Replaced);
    EXPECT_EQ(second.keys[0].origin, Origin::New);
    EXPECT_EQ(second.createdFolders, first.createdFolders);
    EXPECT_EQ(second.releases.size(), 1u);

    // Both kept the host's library: the earlier copy is the host's, unless
    // the second run found the plug-in's file there changed (the host's
    // newer one). The copy passed over stays the installation's to remove.
    const InstallRecord::KeptFile mine = {first.keptFiles[0].path, "D:\\T-ZozerIded\\Kept\\x"};
    for (const bool changed : {false, true}) {
        InstallRecord third;
        third.installFolder = first.installFolder;
        third.keptFiles = {mine};
        const std::vector<CString> passedOver = third.MergeEarlier(
            first, changed ? std::vector<CString>{mine.path} : std::vector<CString>{});
        ASSERT_EQ(third.keptFiles.size(), 1u);
        EXPECT_EQ(third.keptFiles[0].keptAs, changed ? mine.keptAs : first.keptFiles[0].keptAs);
        EXPECT_EQ(passedOver,
                  std::vector<CString>{changed ? first.keptFiles[0].keptAs : mine.keptAs});
    }
}

TEST(JournalLines, ATornLastLineIsDroppedADamagedOneRefused) {
    const std::string text =
        FormatJournalLine({JournalLine::Kind::Folder, "C:\\T", ""}) +
        FormatJournalLine({JournalLine::Kind::Replace, "C:\\T\\a%", "C:\\T\\a.old"}) +
        FormatJournalLine({JournalLine::Kind::Keep, "C:\\H\\b", "C:\\T\\Kept\\b"}) +
        FormatJournalLine({JournalLine::Kind::RemoveFile, "C:\\A\\b", "", 12345678901ULL, kHash}) +
        FormatJournalLine({JournalLine::Kind::Commit, "", ""}) +
        // A killed run of the build that wrote no SHA-256.
        "remove-file\tC:\\A\\c\t3\r\n";
    std::vector<JournalLine> lines;
    ASSERT_TRUE(ParseJournal((text + "new\tC:\\T\\b").c_str(), &lines));
    ASSERT_EQ(lines.size(), 6u) << "the torn line's change never started";
    EXPECT_EQ(lines[1].path, "C:\\T\\a%");
    EXPECT_EQ(lines[1].aside, "C:\\T\\a.old");
    EXPECT_EQ(lines[2].kind, JournalLine::Kind::Keep);
    EXPECT_EQ(lines[2].aside, "C:\\T\\Kept\\b");
    EXPECT_EQ(lines[3].size, 12345678901ULL);
    EXPECT_EQ(lines[3].sha256, kHash);
    EXPECT_EQ(lines[4].kind, JournalLine::Kind::Commit);
    EXPECT_EQ(lines[5].size, 3u);
    EXPECT_TRUE(lines[5].sha256.IsEmpty());
    for (const char* damaged : {"replace\tC:\\only-one\r\n", "remove-file\tC:\\A\\b\t12x\r\n",
                                "remove-file\tC:\\A\\b\t3\tABC\r\n"}) {
        EXPECT_FALSE(ParseJournal((text + damaged).c_str(), &lines)) << damaged;
    }
}

}  // namespace
