// The install record survives being written and read back, whatever bytes
// its paths and key names hold, and an upgrade keeps what the first
// installation created the installation's to remove.
#include <gtest/gtest.h>

#include <string>

#include "lifecycle/file_ownership.h"
#include "lifecycle/install_record.h"
#include "lifecycle/installed_now.h"
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

// A machine where the host "C:\Far" (folder and key) is no longer found.
class FakeReach : public ReachNow {
public:
    bool ReachesFile(const CString& path) const override { return !Far(path); }
    bool ReachesKey(const CString& key) const override { return !Far(key); }
    bool ReachesFolder(const CString& folder) const override { return !Far(folder); }
    bool ReachesHost(const InstallRecord::Release& r) const override { return !Far(r.hostFolder); }

private:
    static bool Far(const char* text) { return std::string(text).find("Far") != std::string::npos; }
};

// What becomes of each item the earlier installation recorded: "record"
// (stays, or installed again), a finish line's tag, or "" (forgotten).
std::string FateOf(const char* item, const InstallRecord& r,
                   const std::vector<JournalLine>& lines) {
    const auto same = [&](const char* text) { return std::string(text) == item; };
    for (const auto& f : r.files) {
        if (same(f.path)) return "record";
    }
    for (const auto& k : r.keys) {
        if (same(k.path)) return "record";
    }
    for (const auto& k : r.keptFiles) {
        if (same(k.keptAs)) return "record";
    }
    for (const auto& f : r.createdFolders) {
        if (same(f)) return "record";
    }
    for (const auto& release : r.releases) {
        if (same(release.hostFolder)) return "record";
    }
    for (const JournalLine& line : lines) {
        if (same(line.path) || same(line.aside)) {
            const std::string text = FormatJournalLine(line);
            return text.substr(0, text.find('\t'));
        }
    }
    return "";
}

TEST(InstalledNow, TheRecordHoldsWhatIsInstalledNowAndTheRestGoesAfterTheCommit) {
    InstallRecord earlier;
    earlier.installFolder = "D:\\T";
    earlier.releases = {
        {2025, "C:\\Host", "H\\"}, {2026, "C:\\H26", "H26\\"}, {2024, "C:\\Far", "Far\\"}};
    earlier.createdFolders = {"D:\\T", "D:\\T\\Kept", "C:\\AppData\\Torvex", "C:\\Far\\Made"};
    earlier.files = {{"D:\\T\\a.dll", 1, Origin::New, kHash},
                     {"D:\\T\\old.dll", 2, Origin::New, kHash},
                     {"C:\\H26\\GCAD2026P.dll", 3, Origin::New, kHash},
                     {"C:\\Far\\GCAD2024P.dll", 4, Origin::New, kHash},
                     {"C:\\Host\\itextsharp.dll", 5, Origin::Replaced},
                     {"C:\\AppData\\Torvex\\Torvex.Ini", 6, Origin::Settings}};
    earlier.keys = {{"H\\Applications", Origin::New},
                    {"H26\\Applications", Origin::New},
                    {"H26\\Applications\\TX2026", Origin::New},
                    {"H\\Applications\\Other", Origin::Replaced},
                    {"Far\\Applications\\TX2024", Origin::New}};
    earlier.keptFiles = {{"C:\\H26\\GCAD2026P.dll", "D:\\T\\Kept\\GCAD2026P.dll"},
                         {"C:\\Far\\GCAD2024P.dll", "D:\\T\\Kept\\GCAD2024P.dll"},
                         {"D:\\T\\a.dll", "D:\\T\\Kept\\a.dll"}};
    InstallRecord now;
    now.installFolder = earlier.installFolder;
    now.releases = {{2025, "C:\\Host", "H\\"}};
    // This run found the earlier module in place, and wrote one entry again.
    now.files = {{"D:\\T\\a.dll", 9, Origin::Replaced, kHash}};
    now.keys = {{"H\\Applications\\TX2025", Origin::New}};
    std::vector<CString> passedOver;
    const std::vector<JournalLine> lines =
        TakeInEarlier(now, earlier, {}, FakeReach(), &passedOver);

    const struct {
        const char* item;
        const char* fate;
    } rows[] = {
        {"D:\\T\\a.dll", "record"},                  // installed again
        {"D:\\T\\old.dll", "remove-file"},           // the plug-in's own, while it is
        {"C:\\H26\\GCAD2026P.dll", "remove-file"},   // a host no longer served
        {"D:\\T\\Kept\\GCAD2026P.dll", "put-back"},  // the host's own, back in its place
        {"C:\\Far\\GCAD2024P.dll", "record"},        // a host no longer found
        {"D:\\T\\Kept\\GCAD2024P.dll", "record"},
        {"D:\\T\\Kept\\a.dll", "record"},  // the host's own still, under the plug-in's
        {"C:\\Host\\itextsharp.dll", ""},  // there before the plug-in: never its to remove
        {"C:\\AppData\\Torvex\\Torvex.Ini", "record"},  // the user's settings
        {"H\\Applications", "record"},                  // holds an entry written now
        {"H26\\Applications\\TX2026", "remove-key"},
        {"H26\\Applications", "remove-key"},
        {"H\\Applications\\Other", ""},  // there before the plug-in
        {"Far\\Applications\\TX2024", "record"},
        {"C:\\Host", "record"},
        {"C:\\H26", ""},  // found, but served no more
        {"C:\\Far", "record"},
        {"D:\\T", "record"},  // holds the installation
        {"D:\\T\\Kept", "record"},
        {"C:\\AppData\\Torvex", "record"},
        {"C:\\Far\\Made", "record"},
    };
    for (const auto& r : rows) EXPECT_EQ(FateOf(r.item, now, lines), r.fate) << r.item;
    EXPECT_EQ(now.files[0].origin, Origin::New) << "made by the plug-in once";
    EXPECT_EQ(now.files[0].size, 9u) << "the size this run installed";
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].sha256, kHash);
    EXPECT_EQ(lines[3].path, "H26\\Applications\\TX2026") << "the deepest key first";
    EXPECT_TRUE(passedOver.empty());

    // Once nothing the record holds lies in them, the folders the earlier
    // installation made go too, the last made first.
    InstallRecord fewer;
    fewer.installFolder = "D:\\T";
    const std::vector<JournalLine> emptied =
        TakeInEarlier(fewer,
                      {earlier.version,
                       "D:\\T",
                       {},
                       {"D:\\T", "D:\\T\\Kept", "D:\\T\\Settings"},
                       {},
                       {},
                       {earlier.keptFiles[0]}},
                      {}, FakeReach(), &passedOver);
    ASSERT_EQ(emptied.size(), 3u);
    EXPECT_EQ(emptied[1].path, "D:\\T\\Settings");
    EXPECT_EQ(emptied[2].path, "D:\\T\\Kept");
    EXPECT_EQ(fewer.createdFolders, std::vector<CString>{"D:\\T"});

    // Both kept the host's library: the earlier copy is the host's, unless
    // this run found the plug-in's file there changed (the host's newer
    // one). The copy passed over is the caller's to remove.
    const InstallRecord::KeptFile mine = {earlier.keptFiles[0].path, "D:\\T\\Kept\\x"};
    for (const bool changed : {false, true}) {
        InstallRecord third;
        third.installFolder = earlier.installFolder;
        third.keptFiles = {mine};
        passedOver.clear();
        TakeInEarlier(third, earlier,
                      changed ? std::vector<CString>{mine.path} : std::vector<CString>{},
                      FakeReach(), &passedOver);
        EXPECT_EQ(third.keptFiles[0].keptAs, changed ? mine.keptAs : earlier.keptFiles[0].keptAs);
        EXPECT_EQ(passedOver,
                  std::vector<CString>{changed ? earlier.keptFiles[0].keptAs : mine.keptAs});
    }
}

TEST(JournalLines, ATornLastLineIsDroppedADamagedOneRefused) {
    const std::string text =
        FormatJournalLine({JournalLine::Kind::Folder, "C:\\T", ""}) +
        FormatJournalLine({JournalLine::Kind::Replace, "C:\\T\\a%", "C:\\T\\a.old"}) +
        FormatJournalLine({JournalLine::Kind::Keep, "C:\\H\\b", "C:\\T\\Kept\\b"}) +
        FormatJournalLine({JournalLine::Kind::RemoveFile, "C:\\A\\b", "", 12345678901ULL, kHash}) +
        FormatJournalLine({JournalLine::Kind::Commit, "", ""}) +
        FormatJournalLine({JournalLine::Kind::PutBack, "C:\\H\\b", "C:\\T\\Kept\\b"}) +
        FormatJournalLine({JournalLine::Kind::RemoveKey, "H\\Applications\\x", ""}) +
        // A killed run of the build that wrote no SHA-256.
        "remove-file\tC:\\A\\c\t3\r\n";
    std::vector<JournalLine> lines;
    ASSERT_TRUE(ParseJournal((text + "new\tC:\\T\\b").c_str(), &lines));
    ASSERT_EQ(lines.size(), 8u) << "the torn line's change never started";
    EXPECT_EQ(lines[1].path, "C:\\T\\a%");
    EXPECT_EQ(lines[1].aside, "C:\\T\\a.old");
    EXPECT_EQ(lines[2].kind, JournalLine::Kind::Keep);
    EXPECT_EQ(lines[2].aside, "C:\\T\\Kept\\b");
    EXPECT_EQ(lines[3].size, 12345678901ULL);
    EXPECT_EQ(lines[3].sha256, kHash);
    EXPECT_EQ(lines[4].kind, JournalLine::Kind::Commit);
    EXPECT_EQ(lines[5].aside, "C:\\T\\Kept\\b");
    EXPECT_EQ(lines[6].kind, JournalLine::Kind::RemoveKey);
    EXPECT_EQ(lines[7].size, 3u);
    EXPECT_TRUE(lines[7].sha256.IsEmpty());
    for (const char* damaged : {"replace\tC:\\only-one\r\n", "remove-file\tC:\\A\\b\t12x\r\n",
                                "remove-file\tC:\\A\\b\t3\tABC\r\n"}) {
        EXPECT_FALSE(ParseJournal((text + damaged).c_str(), &lines)) << damaged;
    }
}

}  // namespace
