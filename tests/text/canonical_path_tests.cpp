// The one form paths read from a record or a journal are compared in: every
// spelling of a place comes out the same, and nothing that leaves its root
// or names a stream comes out at all.
#include <gtest/gtest.h>

#include "tests/support/gbk_samples.h"
#include "text/path_text.h"

namespace {

struct CanonicalCase {
    const char* path;
    const char* canonical;  // null: refused
};

TEST(CanonicalPath, EverySpellingOfAPlaceIsOneForm) {
    const CanonicalCase cases[] = {
        {"C:\\Torvex\\T-ZozerIded", "c:\\torvex\\t-zozerided"},
        {"c:/TORVEX/T-ZozerIded/", "c:\\torvex\\t-zozerided"},
        {"C:\\Torvex\\\\.\\T-ZozerIded\\x\\..", "c:\\torvex\\t-zozerided"},
        {"C:\\Torvex\\T-ZozerIded. . \\a.dll ", "c:\\torvex\\t-zozerided\\a.dll"},
        {"C:\\Torvex\\T-ZozerIded\\../../victim/secret.txt", "c:\\victim\\secret.txt"},
        {"C:\\", "c:\\"},
        {"C:\\x\\..", "c:\\"},
        {"\\\\Server\\Share\\A\\..\\B", "\\\\server\\share\\b"},
        {"C:\\..", nullptr},
        {"\\\\server\\share\\..", nullptr},
        {"C:\\Torvex\\a.dll:Zone.Identifier", nullptr},
        {"Torvex\\a.dll", nullptr},
        {"C:relative", nullptr},
        {"", nullptr},
    };
    for (const CanonicalCase& c : cases) {
        CString canonical;
        const bool made = CanonicalPath(c.path, &canonical);
        EXPECT_EQ(made, c.canonical != nullptr) << c.path;
        if (made && c.canonical) {
            EXPECT_EQ(canonical, c.canonical) << c.path;
        }
    }
}

TEST(CanonicalPath, ATrailByteIsNeitherASeparatorNorTrimmed) {
    // 誠 is 0xD5 0x5C: its trail byte is no backslash, and a name ending in
    // 乗 (0x81 0x5C) keeps it.
    CString canonical;
    ASSERT_TRUE(CanonicalPath(("C:\\A" + kCheng + "..\\B" + kJou).c_str(), &canonical));
    EXPECT_EQ(canonical, CString(("c:\\a" + kCheng + "\\b" + kJou).c_str()));
}

TEST(IsWithinFolder, ComparesWholeNamesOnly) {
    EXPECT_TRUE(IsWithinFolder("c:\\torvex\\t-zozerided\\a.dll", "c:\\torvex\\t-zozerided"));
    EXPECT_TRUE(IsWithinFolder("c:\\torvex", "c:\\torvex"));
    EXPECT_TRUE(IsWithinFolder("c:\\torvex", "c:\\"));
    EXPECT_FALSE(IsWithinFolder("c:\\torvex2\\a.dll", "c:\\torvex"));
    EXPECT_TRUE(IsDirectlyInFolder("c:\\torvex\\a.dll", "c:\\torvex"));
    EXPECT_TRUE(IsDirectlyInFolder("c:\\a.dll", "c:\\"));
    EXPECT_FALSE(IsDirectlyInFolder("c:\\torvex\\sub\\a.dll", "c:\\torvex"));
    EXPECT_FALSE(IsDirectlyInFolder("c:\\torvex", "c:\\torvex"));
}

}  // namespace
