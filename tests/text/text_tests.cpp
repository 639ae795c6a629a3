// Text types and path text rules. Built natively (under the sanitizers) and
// for Windows (under Wine with code page 936), so both lead-byte rules are
// held to the same expectations.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/afx_mbcs.h"
#include "framework/afx_string.h"
#include "framework/afx_ui_text.h"
#include "tests/support/gbk_samples.h"
#include "text/path_text.h"

namespace {

CString Stripped(const CString& in) {
    CString s(in);
    StripTrailingBackslash(s);
    return s;
}

TEST(StripTrailingBackslash, RemovesExactlyOneTrailingBackslash) {
    EXPECT_EQ(Stripped("C:\\Target\\"), "C:\\Target");
    EXPECT_EQ(Stripped("C:\\Target"), "C:\\Target");
    EXPECT_EQ(Stripped("C:\\Target\\\\"), "C:\\Target\\");
    EXPECT_EQ(Stripped("C:\\"), "C:");
}

TEST(StripTrailingBackslash, KeepsLeadingOnlyBackslashAndEmptyText) {
    EXPECT_EQ(Stripped("\\"), "\\");
    EXPECT_EQ(Stripped(""), "");
    EXPECT_EQ(Stripped("Target"), "Target");
}

TEST(StripTrailingBackslash, NeverCutsADoubleByteCharacter) {
    const CString jou = CString(("C:\\" + kJou).c_str());
    EXPECT_EQ(Stripped(jou), jou);
    const CString cheng = CString(("D:\\" + kCheng).c_str());
    EXPECT_EQ(Stripped(cheng), cheng);
    // A real backslash after such a character still goes.
    EXPECT_EQ(Stripped(cheng + "\\"), cheng);
    // Only a double-byte character and nothing else: untouched.
    EXPECT_EQ(Stripped(CString(kCheng)), CString(kCheng));
}

CString WithoutTrailingBackslashChar(const CString& in) {
    CString s(in);
    StripAnyTrailingBackslash(s);
    return s;
}

TEST(StripAnyTrailingBackslash, RemovesOneRealBackslashAnywhere) {
    EXPECT_EQ(WithoutTrailingBackslashChar("D:\\Tools\\"), "D:\\Tools");
    EXPECT_EQ(WithoutTrailingBackslashChar("D:\\"), "D:");
    EXPECT_EQ(WithoutTrailingBackslashChar("D:\\Tools\\\\"), "D:\\Tools\\");
    EXPECT_EQ(WithoutTrailingBackslashChar("\\"), "");  // unlike StripTrailingBackslash
    EXPECT_EQ(WithoutTrailingBackslashChar("D:\\Tools"), "D:\\Tools");
    EXPECT_EQ(WithoutTrailingBackslashChar(""), "");
}

TEST(StripAnyTrailingBackslash, KeepsADoubleByteCharacterEndingIn0x5C) {
    const CString folder = CString(("D:\\" + kCheng).c_str());
    EXPECT_EQ(WithoutTrailingBackslashChar(folder), folder);
    EXPECT_EQ(WithoutTrailingBackslashChar(folder + "\\"), folder);
}

TEST(JoinPath, NeverCutsALongPath) {
    const CString folder(std::string(300, 'f'));
    const CString joined = JoinPath(folder, "name.dll");
    EXPECT_EQ(joined.GetLength(), 300 + 1 + 8);
    EXPECT_EQ(joined, folder + "\\name.dll");
}

TEST(ParentFolder, CutsBeforeTheLastBackslash) {
    EXPECT_EQ(ParentFolder("C:\\Pkg\\SetUp.exe"), "C:\\Pkg");
    EXPECT_EQ(ParentFolder("C:\\SetUp.exe"), "C:");
    EXPECT_EQ(ParentFolder("SetUp.exe"), "");
    EXPECT_EQ(ParentFolder(""), "");
}

TEST(ParentFolder, NeverCutsAtATrailByte) {
    // The trail byte after the last separator must not be taken for one.
    const std::string folder = std::string("C:\\") + kCheng + "pkg";
    const std::string program = folder + "\\Set" + kJou + ".exe";
    EXPECT_EQ(ParentFolder(program.c_str()), CString(folder));
    const std::string folderEndingInJou = std::string("C:\\a") + kJou;
    EXPECT_EQ(ParentFolder((folderEndingInJou + "\\SetUp.exe").c_str()),
              CString(folderEndingInJou));
}

TEST(MbsRChr, StepsOverTrailBytes) {
    const std::string text = "A\\" + kJou + kCheng;
    const char* found = afx::MbsRChr(text.c_str(), '\\');
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found - text.c_str(), 1);
    EXPECT_EQ(afx::MbsRChr(kJou.c_str(), '\\'), nullptr);
    EXPECT_EQ(afx::MbsRChr(nullptr, '\\'), nullptr);
}

TEST(MbsRChr, LoneLeadByteAtEndIsASingleByte) {
    const char text[] = "a\\\x81";
    EXPECT_EQ(afx::MbsRChr(text, '\\'), text + 1);
}

TEST(MbsICmp, FoldsAsciiLettersOnly) {
    EXPECT_EQ(afx::MbsICmp("C:\\Program Files\\GCAD", "c:\\PROGRAM FILES\\gcad"), 0);
    EXPECT_NE(afx::MbsICmp("C:\\GCAD1", "C:\\GCAD2"), 0);
    EXPECT_NE(afx::MbsICmp("C:\\A", "C:\\A\\"), 0);  // no trimming
    EXPECT_NE(afx::MbsICmp("C:/A", "C:\\A"), 0);     // no unifying of slashes
}

TEST(MbsICmp, DoubleByteCharactersCompareAsTheyAre) {
    // 乗 is 0x81 0x5C; "\x81" followed by "|" must not equal it, and the
    // trail bytes 0x41/0x61 inside double-byte characters are not letters.
    const std::string upperTrail = "X\x81\x41";
    const std::string lowerTrail = "X\x81\x61";
    EXPECT_NE(afx::MbsICmp(upperTrail.c_str(), lowerTrail.c_str()), 0);
    EXPECT_EQ(afx::MbsICmp(("x" + kJou).c_str(), ("X" + kJou).c_str()), 0);
    EXPECT_LT(afx::MbsICmp("a", "b"), 0);
    EXPECT_GT(afx::MbsICmp("b", "A"), 0);
    EXPECT_EQ(afx::MbsICmp(nullptr, ""), 0);
}

// Folded forms are what the duplicate filter hashes: they must agree with
// the comparison on every pair, lone lead bytes and trail letters included.
TEST(MbsFoldCase, EqualExactlyWhenMbsICmpSaysEqual) {
    const char alphabet[] = {'a', 'A', 'b', 'B', '\\', '\x81', '\xD5', '\x5C', 'R', 'r'};
    std::mt19937 random(20251030);
    std::uniform_int_distribution<size_t> pick(0, sizeof(alphabet) - 1);
    std::uniform_int_distribution<int> length(0, 5);
    auto draw = [&] {
        std::string text;
        for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
        return text;
    };
    int equalPairs = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string a = draw();
        const std::string b = draw();
        const bool equal = afx::MbsICmp(a.c_str(), b.c_str()) == 0;
        equalPairs += equal;
        ASSERT_EQ(afx::MbsFoldCase(a.c_str()) == afx::MbsFoldCase(b.c_str()), equal)
            << "'" << a << "' vs '" << b << "'";
    }
    EXPECT_GT(equalPairs, 100);  // the alphabet is small enough for many equal pairs
}

TEST(CStringFormat, GrowsPastAnyFixedBuffer) {
    const std::string longName(1000, 'x');
    CString path;
    path.Format("%s\\%s\\%s", "C:\\Torvex", longName.c_str(), "TX_ZozerIded2023.GRX");
    EXPECT_EQ(path.GetLength(), 9 + 1 + 1000 + 1 + 20);
    EXPECT_EQ(path.Mid(path.GetLength() - 20, 20), "TX_ZozerIded2023.GRX");
}

TEST(CStringEditing, MidLeftDeleteStayInBounds) {
    CString s("abc");
    EXPECT_EQ(s.Mid(5, 1), "");
    EXPECT_EQ(s.Left(10), "abc");
    s.Delete(10);
    EXPECT_EQ(s, "abc");
    s.Delete(1, 5);
    EXPECT_EQ(s, "a");
}

TEST(UiTextFormat, KeepsTheProgramsSentenceAndTheSystemsPathApart) {
    // Under code page 1252 the path's bytes are Latin 1 ("é" E9), the
    // sentence's GBK: read as one text, one of them would be garbled.
    using afx::TextOrigin;
    const CString path("C:\\Caf\xE9");
    const afx::UiText text =
        afx::FormatUiText("在 %s 中（错误 %lu，100%%）", {path, 5ul}) + afx::UiText::System(path);
    const std::vector<std::pair<TextOrigin, std::string>> expected = {
        {TextOrigin::Program, "在 "},        {TextOrigin::System, path.str()},
        {TextOrigin::Program, " 中（错误 "}, {TextOrigin::System, "5"},
        {TextOrigin::Program, "，100%）"},   {TextOrigin::System, path.str()},
    };
    std::vector<std::pair<TextOrigin, std::string>> pieces;
    for (const afx::UiText::Piece& piece : text.Pieces())
        pieces.push_back({piece.origin, piece.bytes});
    EXPECT_EQ(pieces, expected);
    // What a test responder sees: the bytes as CString::Format joins them.
    CString joined;
    joined.Format("在 %s 中（错误 %lu，100%%）%s", path.GetString(), 5ul, path.GetString());
    EXPECT_EQ(text.Narrow(), joined);
}

}  // namespace
