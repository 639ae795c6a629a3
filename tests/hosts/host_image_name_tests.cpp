// The host's image-name rule and the multibyte substring search. Run natively
// (GBK lead-byte rule, ASCII folding) and under Wine with code page 936
// (the system's own folding), to the same expectations.
#include <gtest/gtest.h>

#include <string>

#include "framework/afx_mbcs.h"
#include "hosts/host_image_name.h"

namespace {

TEST(ImageNameIsHost, AnyLetterCaseMatches) {
    EXPECT_TRUE(ImageNameIsHost("gcad.exe"));
    EXPECT_TRUE(ImageNameIsHost("GCAD.EXE"));
    EXPECT_TRUE(ImageNameIsHost("GcAd.ExE"));
}

TEST(ImageNameIsHost, TargetInsideALongerNameMatches) {
    EXPECT_TRUE(ImageNameIsHost("oldgcad.exe"));
    EXPECT_TRUE(ImageNameIsHost("gcad.exe.bak"));
    EXPECT_TRUE(ImageNameIsHost("\xC6\xF0gcad.exe"));  // after a Chinese character
}

TEST(ImageNameIsHost, IncompleteOrOtherNamesDoNotMatch) {
    EXPECT_FALSE(ImageNameIsHost("gcad64.exe"));
    EXPECT_FALSE(ImageNameIsHost("gcad"));
    EXPECT_FALSE(ImageNameIsHost("gcad.ex"));
    EXPECT_FALSE(ImageNameIsHost("g cad.exe"));
    EXPECT_FALSE(ImageNameIsHost("explorer.exe"));
    EXPECT_FALSE(ImageNameIsHost(""));
    EXPECT_FALSE(ImageNameIsHost(nullptr));
}

TEST(ImageNameIsHost, TrailByteNeverStartsAMatch) {
    // 0x81 0x67 is one GBK character whose trail byte is 'g': what follows is
    // "cad.exe", not the target.
    EXPECT_FALSE(ImageNameIsHost("\x81gcad.exe"));
    EXPECT_FALSE(ImageNameIsHost("\x81Gcad.exe"));
    // Two double-byte characters first: the 'g' after them stands alone.
    EXPECT_TRUE(ImageNameIsHost("\x81\x40\x81gXgcad.exe"));
    EXPECT_TRUE(ImageNameIsHost("\x81\x40gcad.exe"));
}

TEST(FoldImageNameToLowerCase, FoldsSingleByteLettersOnly) {
    EXPECT_EQ(FoldImageNameToLowerCase("GCAD.EXE"), "gcad.exe");
    EXPECT_EQ(FoldImageNameToLowerCase("Setup-1.2_X.EXE"), "setup-1.2_x.exe");
    EXPECT_EQ(FoldImageNameToLowerCase(""), "");
    EXPECT_EQ(FoldImageNameToLowerCase(nullptr), "");
}

TEST(FoldImageNameToLowerCase, LeavesTrailBytesOfDoubleByteCharactersAlone) {
    // 0x81 0x41 and 0x81 0x5A are CJK characters whose trail bytes look like
    // 'A' and 'Z'; folding them alone would name other characters.
    EXPECT_EQ(FoldImageNameToLowerCase("A\x81\x41Z\x81\x5A"), "a\x81\x41z\x81\x5A");
}

TEST(ContainsAtCharBoundary, MatchesOnlyAtCharacterStarts) {
    EXPECT_TRUE(afx::MbsContains("R23", "R23"));
    EXPECT_TRUE(afx::MbsContains("GstarCAD R23.0", "R23"));
    EXPECT_FALSE(afx::MbsContains("r23", "R23"));  // case-sensitive
    EXPECT_FALSE(afx::MbsContains("\x81R23", "R23"));
    EXPECT_TRUE(afx::MbsContains("\x81R23R23", "R23"));
    EXPECT_TRUE(afx::MbsContains("\xC6\xF0R23", "R23"));
    EXPECT_TRUE(afx::MbsContains("abc", ""));
    EXPECT_TRUE(afx::MbsContains(nullptr, ""));
    EXPECT_FALSE(afx::MbsContains(nullptr, "R"));
    EXPECT_FALSE(afx::MbsContains("R2", "R23"));
}

TEST(ContainsAtCharBoundary, LoneLeadByteAtTheEndIsNoCharacter) {
    // Not read past the terminator; a final lead byte stands alone.
    EXPECT_TRUE(afx::MbsContains("ab\x81", "\x81"));
    EXPECT_FALSE(afx::MbsContains("\x81", "x"));
}

#ifdef _WIN32
TEST(FoldImageNameToLowerCase, SystemMappingFoldsDoubleByteLetters) {
    // Fullwidth ＧＣＡＤ (0xA3 0xC7 ...) folds to fullwidth ｇｃａｄ, which is
    // still no "gcad".
    EXPECT_EQ(FoldImageNameToLowerCase("\xA3\xC7\xA3\xC3\xA3\xC1\xA3\xC4.EXE"),
              "\xA3\xE7\xA3\xE3\xA3\xE1\xA3\xE4.exe");
    EXPECT_FALSE(ImageNameIsHost("\xA3\xC7\xA3\xC3\xA3\xC1\xA3\xC4.EXE"));
}
#endif

}  // namespace
