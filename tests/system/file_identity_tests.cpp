// One folder under each of its names is one thing, asked of Wine's real
// file system: its short name, another case, a trailing dot, the "\\?\"
// form and a link above it; a file held open without sharing still answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <string>

#include "framework/scoped_handles.h"
#include "system/file_identity.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unix_link.h"
#include "text/path_text.h"
#include "tools/driver/sample_machine.h"

namespace {

TEST(FileIdentity, EveryNameOfAFolderIsTheSameFolderAndOthersAreNot) {
    ScopedTempFolder temp;
    const CString folder = temp / "Program Files Of Torvex";
    const CString file = JoinPath(folder, "Module.dll");
    ASSERT_TRUE(driver::CreateFolders(folder.str()));
    ASSERT_TRUE(driver::WriteTextFile(file.str(), "module"));
    ASSERT_TRUE(driver::CreateFolders((temp / "Other").str()));
    ASSERT_TRUE(MakeUnixLink(temp.Path().str(), "\"Program Files Of Torvex\"", "above"));
    const CString shortName = ShortNameOf(folder);
    ASSERT_FALSE(shortName.IsEmpty());
    ASSERT_NE(shortName, folder) << "a name longer than 8.3 has a short one";
    CString finalPath;
    ASSERT_TRUE(FinalPathOf(folder, &finalPath));
    std::string upperText = folder.str();
    for (char& c : upperText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const CString upper(upperText);

    // The "\\?\" form names the folder, but the program takes such a text
    // for no path of its own (text/path_text.h): it has no final path.
    EXPECT_TRUE(IsSameObject(folder, CString("\\\\?\\") + folder));
    EXPECT_FALSE(IsSamePlace(folder, CString("\\\\?\\") + folder));
    const struct {
        CString name;
        bool same;
    } cases[] = {
        {folder, true},         {shortName, true},       {upper, true}, {folder + ".", true},
        {temp / "above", true}, {temp / "Other", false}, {file, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSameObject(folder, c.name), c.same) << c.name.str();
        EXPECT_EQ(IsSamePlace(folder, c.name), c.same) << c.name.str();
        CString named;
        ASSERT_TRUE(FinalPathOf(c.name, &named)) << c.name.str();
        EXPECT_EQ(IsSamePath(named, finalPath), c.same) << named.str();
    }
    // A place not made yet, below a short name: its final path all the same.
    CString below;
    ASSERT_TRUE(FinalPathOf(JoinPath(JoinPath(shortName, "T-ZozerIded"), "Kept"), &below));
    EXPECT_EQ(below, JoinPath(JoinPath(finalPath, "T-ZozerIded"), "Kept"));
    EXPECT_FALSE(FinalPathOf("relative\\path", &below));

    // Held open with no sharing at all (a scanner, a backup agent): still known.
    const afx::ScopedKernelHandle held(
        CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_TRUE(IsSameObject(file, JoinPath(shortName, "MODULE.DLL")));
    EXPECT_TRUE(RemoveUnixLink(temp.Path().str(), "above"));
}

}  // namespace
