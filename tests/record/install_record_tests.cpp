// The install record survives being written and read back, whatever bytes
// its paths and key names hold, and an upgrade keeps what the first
// installation created the installation's to remove.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "record/file_ownership.h"
#include "record/install_record.h"

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
        {"the recorded size, unreadable: in use", recorded, {true, 3, "", true}, Ownership::InUse},
        {"another size, unreadable", recorded, {true, 4, "", true}, Ownership::Changed},
        {"deleted since", recorded, {false, 0, ""}, Ownership::Gone},
        {"an earlier version's record", withoutHash, {true, 3, kHash}, Ownership::Unproven},
        {"there before the installation", replaced, {true, 3, kHash}, Ownership::NotRecorded},
    };
    for (const auto& c : cases) EXPECT_EQ(JudgeRecordedFile(c.file, c.now), c.expected) << c.what;
}

}  // namespace
