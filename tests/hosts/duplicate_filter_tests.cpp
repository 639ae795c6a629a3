// The duplicate filter over one release's parallel lists.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "hosts/found_hosts.h"
#include "tests/support/gbk_samples.h"
#include "tests/support/other_names.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;  // key path, folder

Pairs Filtered(const Pairs& in, const PlaceKeys* places = nullptr) {
    CStringArray keys;
    CStringArray folders;
    for (const auto& item : in) {
        keys.Add(CString(item.first));
        folders.Add(CString(item.second));
    }
    RemoveDuplicateInstallations(keys, folders, places);
    EXPECT_EQ(keys.GetSize(), folders.GetSize());
    Pairs out;
    for (int i = 0; i < keys.GetSize() && i < folders.GetSize(); ++i) {
        out.emplace_back(keys[i].str(), folders[i].str());
    }
    return out;
}

TEST(RemoveDuplicateInstallations, EmptyAndSingleListsStayAsTheyAre) {
    EXPECT_EQ(Filtered({}), Pairs{});
    const Pairs one = {{"K\\", "F"}};
    EXPECT_EQ(Filtered(one), one);
}

TEST(RemoveDuplicateInstallations, ItemRemovedForKeyNoLongerShadowsItsFolder) {
    // The second goes for its key path; the third survives, since the only
    // item that shared its folder was removed.
    EXPECT_EQ(Filtered({{"K1\\", "F1"}, {"K1\\", "F2"}, {"K3\\", "F2"}}),
              (Pairs{{"K1\\", "F1"}, {"K3\\", "F2"}}));
}

TEST(RemoveDuplicateInstallations, FirstOccurrenceWinsForKeyOrFolder) {
    EXPECT_EQ(Filtered({{"A\\", "C:\\One"},
                        {"B\\", "C:\\Two"},
                        {"C\\", "C:\\One"},
                        {"B\\", "C:\\Three"},
                        {"D\\", "C:\\Four"},
                        {"A\\", "C:\\Two"}}),
              (Pairs{{"A\\", "C:\\One"}, {"B\\", "C:\\Two"}, {"D\\", "C:\\Four"}}));
}

TEST(RemoveDuplicateInstallations, RunsOfDuplicatesAllGo) {
    // Adjacent removals: j must stay put after each one.
    EXPECT_EQ(Filtered({{"K\\", "F"}, {"K\\", "G"}, {"L\\", "F"}, {"K\\", "F"}, {"M\\", "H"}}),
              (Pairs{{"K\\", "F"}, {"M\\", "H"}}));
    EXPECT_EQ(Filtered({{"K\\", "F"}, {"K\\", "F"}}), (Pairs{{"K\\", "F"}}));
}

TEST(RemoveDuplicateInstallations, LetterCaseDoesNotCount) {
    EXPECT_EQ(Filtered({{"SOFTWARE\\Gstarsoft\\GstarCAD\\R24\\", "C:\\Program Files\\Gstarsoft"},
                        {"Other\\", "c:\\PROGRAM FILES\\gstarsoft"}}),
              (Pairs{{"SOFTWARE\\Gstarsoft\\GstarCAD\\R24\\", "C:\\Program Files\\Gstarsoft"}}));
    EXPECT_EQ(Filtered({{"software\\gstarsoft\\r24\\", "C:\\A"},
                        {"SOFTWARE\\GSTARSOFT\\R24\\", "C:\\B"}}),
              (Pairs{{"software\\gstarsoft\\r24\\", "C:\\A"}}));
}

TEST(RemoveDuplicateInstallations, AnotherNameOfTheFolderIsTheSameFolder) {
    const OtherNames names({{"c:\\progra~1", "c:\\program files"}});
    EXPECT_EQ(
        Filtered({{"K1\\", "C:\\Program Files\\Gstarsoft"}, {"K2\\", "C:\\PROGRA~1\\Gstarsoft"}},
                 &names),
        (Pairs{{"K1\\", "C:\\Program Files\\Gstarsoft"}}));
}

TEST(RemoveDuplicateInstallations, NoOtherNormalisation) {
    const Pairs distinct = {{"K1\\", "C:\\Host"},
                            {"K2\\", "C:\\Host\\"},  // a trailing backslash counts
                            {"K3\\", " C:\\Host"},   // no trimming
                            {"K4\\", "C:/Host"},     // slashes are not unified
                            {"K1", "C:\\Other"}};    // nor are key paths
    EXPECT_EQ(Filtered(distinct), distinct);
}

TEST(RemoveDuplicateInstallations, DoubleByteFoldersCompareAsTheyAre) {
    // Trail bytes 0x5C are not separators, and trail bytes that look like
    // letters (0x41 'A' / 0x61 'a') are not folded.
    const std::string jouFolder = "C:\\" + kJou;
    const std::string chengFolder = "C:\\" + kCheng;
    EXPECT_EQ(Filtered({{"K1\\", jouFolder}, {"K2\\", chengFolder}, {"K3\\", jouFolder}}),
              (Pairs{{"K1\\", jouFolder}, {"K2\\", chengFolder}}));
    const Pairs trailLetters = {{"K1\\", "D:\\\x81\x41"}, {"K2\\", "D:\\\x81\x61"}};
    EXPECT_EQ(Filtered(trailLetters), trailLetters);
    // Single-byte letters around double-byte characters still fold.
    EXPECT_EQ(Filtered({{"K1\\", "d:\\x" + kJou + "y"}, {"K2\\", "D:\\X" + kJou + "Y"}}),
              (Pairs{{"K1\\", "d:\\x" + kJou + "y"}}));
}

TEST(RemoveDuplicateInstallations, ListsOfDifferentLengthAreNotOverrun) {
    CStringArray keys;
    CStringArray folders;
    keys.Add("K\\");
    keys.Add("K\\");
    keys.Add("K\\");
    folders.Add("F");
    RemoveDuplicateInstallations(keys, folders);
    EXPECT_EQ(keys.GetSize(), 3);
    EXPECT_EQ(folders.GetSize(), 1);
}

}  // namespace
