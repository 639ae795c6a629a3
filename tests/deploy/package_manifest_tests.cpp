// The manifest a sealed build carries, read back: what the build writes is
// believed, anything else is no manifest at all.
#include <gtest/gtest.h>

#include <string>

#include "deploy/package_manifest.h"

namespace {

constexpr char kHash[] = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

std::string Line(const std::string& name, const std::string& size = "12",
                 const std::string& hash = kHash) {
    return "file\t" + name + "\t" + size + "\t" + hash + "\r\n";
}

TEST(PackageManifest, ReadsWhatTheBuildWritesAndNothingElse) {
    const std::string header = "package-manifest\t1\r\n";
    PackageManifest manifest;
    ASSERT_TRUE(ParsePackageManifest(
        header + Line("GCAD2025P.dll", "123") + Line("docs\\read%25me.txt"), &manifest));
    ASSERT_EQ(manifest.files.size(), 2u);
    EXPECT_EQ(manifest.files[0].size, 123u);
    EXPECT_EQ(manifest.files[0].sha256, kHash);
    ASSERT_NE(manifest.Find("gcad2025p.DLL"), nullptr) << "names as the file system compares them";
    EXPECT_EQ(manifest.Find("DOCS\\READ%ME.TXT"), &manifest.files[1]);
    EXPECT_EQ(manifest.Find("GCAD2026P.dll"), nullptr);

    const struct {
        const char* what;
        std::string text;
    } refused[] = {
        {"nothing", ""},
        {"no file", header},
        {"another format", "package-manifest\t2\r\n" + Line("a.dll")},
        {"no header", Line("a.dll")},
        {"no hash", header + Line("a.dll", "12", "")},
        {"a short hash", header + Line("a.dll", "12", std::string(kHash).substr(1))},
        {"no size", header + Line("a.dll", "x")},
        {"a drive", header + Line("C:\\a.dll")},
        {"a root", header + Line("\\a.dll")},
        {"climbing out", header + Line("..\\a.dll")},
        {"a step back", header + Line("docs\\..\\a.dll")},
        {"a trailing dot", header + Line("a.dll.")},
        {"a stream", header + Line("a.dll:Zone.Identifier")},
        {"named twice", header + Line("a.dll") + Line("A.DLL")},
        {"a damaged escape", header + Line("a%2.dll")},
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(ParsePackageManifest(r.text, &manifest)) << r.what;
        EXPECT_TRUE(manifest.files.empty()) << r.what;
    }
}

}  // namespace
