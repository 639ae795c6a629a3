// What the record holds once an installation is complete (the earlier
// record taken in, the rest left to finish lines), and the journal's lines
// read back.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "journal/installed_now.h"
#include "journal/journal_line.h"
#include "record/install_record.h"
#include "tests/support/other_names.h"

namespace {

using Origin = InstallRecord::Origin;

constexpr char kHash[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

// A machine where the host "C:\Far" (folder and key) is no longer found, and
// "D:\T~1" and "C:\H~1" are the short names of "D:\T" and "C:\H25".
struct FarGone : ReachNow {
    static bool Near(const char* text) { return !std::strstr(text, "Far"); }
    bool KeyOf(const char* path, CString* key) const override { return names.KeyOf(path, key); }
    bool ReachesFile(const CString& path) const override { return Near(path); }
    bool ReachesKey(const CString& key) const override { return Near(key); }
    bool ReachesFolder(const CString& folder) const override { return Near(folder); }
    bool ReachesHost(const InstallRecord::Release& r) const override { return Near(r.hostFolder); }
    const OtherNames names{{"d:\\t~1", "d:\\t"}, {"c:\\h~1", "c:\\h25"}};
};

// Each item the record holds ("record") or a finish line names (its tag).
std::map<std::string, std::string> Fates(const InstallRecord& r,
                                         const std::vector<JournalLine>& lines) {
    std::map<std::string, std::string> fates;
    for (const auto& f : r.files) fates[f.path.str()] = "record";
    for (const auto& k : r.keys) fates[k.path.str()] = "record";
    for (const auto& k : r.keptFiles) fates[k.keptAs.str()] = "record";
    for (const auto& f : r.createdFolders) fates[f.str()] = "record";
    for (const auto& release : r.releases) fates[release.hostFolder.str()] = "record";
    for (const JournalLine& l : lines) {
        const std::string tag = FormatJournalLine(l);
        fates[(l.aside.IsEmpty() ? l.path : l.aside).str()] = tag.substr(0, tag.find('\t'));
    }
    return fates;
}

TEST(InstalledNow, TheRecordHoldsWhatIsInstalledNowAndTheRestGoesAfterTheCommit) {
    InstallRecord earlier;
    earlier.installFolder = "D:\\T";
    earlier.releases = {
        {2025, "C:\\H25", "H25\\"}, {2026, "C:\\H26", "H26\\"}, {2024, "C:\\Far", "Far\\"}};
    earlier.createdFolders = {"D:\\T", "D:\\T\\Kept", "D:\\T\\Copy", "D:\\T\\Copy\\Sub",
                              "C:\\Far\\Made"};
    earlier.files = {{"D:\\T\\a.dll", 1, Origin::New, kHash},
                     {"D:\\T\\Copy\\old.dll", 2, Origin::New, kHash},
                     {"C:\\H26\\GCAD2026P.dll", 3, Origin::New, kHash},
                     {"C:\\Far\\GCAD2024P.dll", 4, Origin::New, kHash},
                     {"C:\\H25\\itextsharp.dll", 5, Origin::Replaced},
                     {"C:\\H26\\unproven.dll", 7, Origin::New},  // a record without hashes
                     {"C:\\AppData\\Torvex\\Torvex.Ini", 6, Origin::Settings}};
    earlier.keys = {{"H25\\Applications", Origin::New},
                    {"H26\\Applications", Origin::New},
                    {"H26\\Applications\\TX2026", Origin::New},
                    {"H25\\Applications\\Other", Origin::Replaced},
                    {"Far\\Applications\\TX2024", Origin::New}};
    earlier.keptFiles = {{"C:\\H26\\GCAD2026P.dll", "D:\\T\\Kept\\GCAD2026P.dll"},
                         {"C:\\Far\\GCAD2024P.dll", "D:\\T\\Kept\\GCAD2024P.dll"},
                         {"D:\\T\\a.dll", "D:\\T\\Kept\\a.dll"},
                         {"C:\\H26\\unproven.dll", "D:\\T\\Kept\\unproven.dll"}};
    // This run found the earlier module in place, and wrote one entry again.
    InstallRecord now{"",
                      "D:\\T",
                      {{2025, "C:\\H25", "H25\\"}},
                      {},
                      {{"D:\\T\\a.dll", 9, Origin::Replaced, kHash}},
                      {{"H25\\Applications\\TX2025", Origin::New}},
                      {}};
    std::vector<CString> passedOver;
    const std::vector<JournalLine> lines = TakeInEarlier(now, earlier, {}, FarGone(), &passedOver);
    // Forgotten: what was there before the plug-in, a host served no more.
    const std::map<std::string, std::string> expected = {
        {"D:\\T\\a.dll", "record"},  // installed again: made by the plug-in once
        {"D:\\T\\Copy\\old.dll", "remove-file"},
        {"C:\\H26\\GCAD2026P.dll", "remove-file"},
        {"D:\\T\\Kept\\GCAD2026P.dll", "put-back"},
        {"H26\\Applications\\TX2026", "remove-key"},
        {"H26\\Applications", "remove-key"},
        {"D:\\T\\Copy", "remove-folder"},
        {"D:\\T\\Copy\\Sub", "remove-folder"},
        {"C:\\Far\\GCAD2024P.dll", "record"},  // out of reach
        {"D:\\T\\Kept\\GCAD2024P.dll", "record"},
        {"Far\\Applications\\TX2024", "record"},
        {"C:\\Far", "record"},
        {"C:\\Far\\Made", "record"},
        {"D:\\T\\Kept\\a.dll", "record"},     // the host's own still
        {"C:\\H26\\unproven.dll", "record"},  // never proven the plug-in's
        {"D:\\T\\Kept\\unproven.dll", "record"},
        {"C:\\AppData\\Torvex\\Torvex.Ini", "record"},
        {"H25\\Applications", "record"},  // holds an entry written now
        {"H25\\Applications\\TX2025", "record"},
        {"C:\\H25", "record"},
        {"D:\\T", "record"},
        {"D:\\T\\Kept", "record"},
    };
    EXPECT_EQ(Fates(now, lines), expected);
    EXPECT_EQ(now.files[0].origin, Origin::New);
    EXPECT_EQ(lines[0].sha256, kHash);
    EXPECT_EQ(lines[2].size, 3u) << "the put-back knows the plug-in's file in its place";
    EXPECT_EQ(lines[3].path, "H26\\Applications\\TX2026") << "the deepest key first";
    // Nested folders the deepest first, or the outer one is not empty yet.
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[5].path, "D:\\T\\Copy\\Sub");
    EXPECT_EQ(lines[6].path, "D:\\T\\Copy");

    // Both kept the host's library: the earlier copy is the host's, unless
    // this run found the plug-in's file there changed (the host's newer
    // one). The copy passed over is the caller's to remove.
    const InstallRecord::KeptFile mine = {earlier.keptFiles[0].path, "D:\\T\\Kept\\x"};
    for (const bool changed : {false, true}) {
        InstallRecord third;
        third.keptFiles = {mine};
        passedOver.clear();
        TakeInEarlier(third, earlier,
                      changed ? std::vector<CString>{mine.path} : std::vector<CString>{}, FarGone(),
                      &passedOver);
        EXPECT_EQ(third.keptFiles[0].keptAs, changed ? mine.keptAs : earlier.keptFiles[0].keptAs);
        EXPECT_EQ(passedOver,
                  std::vector<CString>{changed ? earlier.keptFiles[0].keptAs : mine.keptAs});
    }
}

TEST(InstalledNow, AnEarlierRecordNamingThePlacesOtherwiseNamesTheSameItems) {
    // Written by a run given the short name of the folder; this run has the long one.
    InstallRecord earlier;
    earlier.installFolder = "D:\\T~1";
    earlier.releases = {{2025, "C:\\H~1", "H25\\"}};
    earlier.createdFolders = {"D:\\T~1"};
    earlier.files = {{"D:\\T~1\\a.dll", 1, Origin::New, kHash},
                     {"C:\\H~1\\GCAD2025P.dll", 2, Origin::New, kHash}};
    earlier.keptFiles = {{"C:\\H~1\\GCAD2025P.dll", "D:\\T~1\\Kept\\GCAD2025P.dll"}};
    InstallRecord now;
    now.installFolder = "D:\\T";
    now.releases = {{2025, "c:\\h25", "H25\\"}};
    now.files = {{"d:\\t\\A.DLL", 1, Origin::Replaced, kHash},
                 {"C:\\H25\\GCAD2025P.dll", 2, Origin::Replaced, kHash}};
    EXPECT_TRUE(ServeTheSameHosts(now, earlier, FarGone().names));
    std::vector<CString> passedOver;
    EXPECT_TRUE(TakeInEarlier(now, earlier, {}, FarGone(), &passedOver).empty())
        << "nothing installed again may go, nor the folder it lies in";
    EXPECT_EQ(now.files[0].origin, Origin::New);
}

TEST(JournalLines, ATornLastLineIsDroppedADamagedOneRefused) {
    const SavedValue saved{std::string("N\0a\0", 4), 3, std::string("%\t\r\n\0\xff", 6)};
    const std::string text =
        FormatJournalLine({JournalLine::Kind::Folder, "C:\\T", ""}) +
        FormatJournalLine({JournalLine::Kind::Replace, "C:\\T\\a%", "C:\\T\\a.old"}) +
        FormatJournalLine({JournalLine::Kind::Keep, "C:\\H\\b", "C:\\T\\Kept\\b"}) +
        FormatJournalLine({JournalLine::Kind::RemoveFile, "C:\\A\\b", "", 12345678901ULL, kHash}) +
        FormatJournalLine({JournalLine::Kind::Commit, "", ""}) +
        FormatJournalLine({JournalLine::Kind::PutBack, "C:\\H\\b", "C:\\T\\Kept\\b", 9, kHash}) +
        FormatJournalLine({JournalLine::Kind::RemoveKey, "H\\Applications\\x", ""}) +
        // A killed run of the build that wrote no SHA-256.
        "remove-file\tC:\\A\\c\t3\r\n" +
        FormatJournalLine({JournalLine::Kind::Keep, "C:\\H\\c", "C:\\T\\Kept\\c", 0, "", 33}) +
        // One of the build that wrote no attributes.
        "replace\tC:\\T\\d\tC:\\T\\d.old\r\n" +
        // An entry's values before the change, any bytes.
        FormatJournalLine(
            {JournalLine::Kind::UninstallEntry, "HKLM\\E", "", 0, "", 0, {true, {saved, saved}}});
    std::vector<JournalLine> lines;
    ASSERT_TRUE(ParseJournal((text + "new\tC:\\T\\b").c_str(), &lines));
    ASSERT_EQ(lines.size(), 11u) << "the torn line's change never started";
    EXPECT_EQ(text.substr(text.rfind("uninstall-entry")), FormatJournalLine(lines[10]));
    EXPECT_EQ(lines[10].saved.values.at(1).data, saved.data);
    EXPECT_EQ(lines[1].path, "C:\\T\\a%");
    EXPECT_EQ(lines[1].aside, "C:\\T\\a.old");
    EXPECT_EQ(lines[2].kind, JournalLine::Kind::Keep);
    EXPECT_EQ(lines[2].aside, "C:\\T\\Kept\\b");
    EXPECT_EQ(lines[3].size, 12345678901ULL);
    EXPECT_EQ(lines[3].sha256, kHash);
    EXPECT_EQ(lines[4].kind, JournalLine::Kind::Commit);
    EXPECT_EQ(lines[5].aside, "C:\\T\\Kept\\b");
    EXPECT_EQ(lines[5].size, 9u);
    EXPECT_EQ(lines[5].sha256, kHash);
    EXPECT_EQ(lines[6].kind, JournalLine::Kind::RemoveKey);
    EXPECT_EQ(lines[7].size, 3u);
    EXPECT_TRUE(lines[7].sha256.IsEmpty());
    EXPECT_EQ(lines[8].attributes, 33u);
    EXPECT_EQ(lines[9].aside, "C:\\T\\d.old");
    EXPECT_EQ(lines[9].attributes, kNoAttributes);
    for (const char* damaged :
         {"replace\tC:\\only-one\r\n", "remove-file\tC:\\A\\b\t12x\r\n",
          "remove-file\tC:\\A\\b\t3\tABC\r\n", "keep\tC:\\H\\c\tC:\\T\\c\t4294967296\r\n",
          "record-copy\tK\t2\r\n", "record-copy\tK\t1\t4e00\t3\r\n",
          "record-copy\tK\t1\t4e0\t3\t00\r\n", "record-copy\tK\t1\t4E00\t3\t00\r\n"}) {
        EXPECT_FALSE(ParseJournal((text + damaged).c_str(), &lines)) << damaged;
    }
}

}  // namespace
