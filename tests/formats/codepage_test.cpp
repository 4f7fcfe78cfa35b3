#include "formats/codepage.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// Windows-1252 bytes of "äöüß€é".
const std::string kGermanCp1252 = "\xE4\xF6\xFC\xDF\x80\xE9";

TEST(Codepage, Cp1252ToUnicode) {
    EXPECT_EQ(Cp1252ToUtf8(kGermanCp1252), "äöüß€é");
    EXPECT_EQ(Cp1252ToUtf16(kGermanCp1252), u"äöüß€é");
    EXPECT_EQ(Cp1252ToUtf8("A\x93quoted\x94 \x85 \x9F"), "A“quoted” … Ÿ");
    EXPECT_EQ(Cp1252ToUtf8(std::string("\0\x7F", 2)), std::string("\0\x7F", 2));
    // Bytes the code page leaves undefined become the C1 control of the same value.
    EXPECT_EQ(Cp1252ToUtf16("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
}

TEST(Codepage, UnicodeToCp1252) {
    EXPECT_EQ(Utf8ToCp1252("äöüß€é"), kGermanCp1252);
    EXPECT_EQ(Utf16ToCp1252(u"äöüß€é"), kGermanCp1252);
    EXPECT_EQ(Utf8ToCp1252("\u0081\u009D"), "\x81\x9D");
    // No Windows-1252 form: one '?' per character, also for C1 controls the code page
    // gives to printable characters, and for characters beyond the BMP.
    EXPECT_EQ(Utf8ToCp1252("a\u0100b\u4E2Dc\U0001F600d\u0080"), "a?b?c?d?");
    EXPECT_EQ(Utf16ToCp1252(u"a\u0100b\U0001F600c\u0082"), "a?b?c?");
}

TEST(Codepage, EveryCp1252ByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Codepage, InvalidUtf8BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b"),
              "a?b");                            // byte that never starts a sequence
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");      // cut at the end
    EXPECT_EQ(Utf8ToCp1252("\xC3x"), "?x");      // the breaking byte is kept
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82x"), "?x");  // one '?' for the valid beginning
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");   // overlong '/'
    EXPECT_EQ(Utf8ToCp1252("\xE0\x80\xAF"), "???");
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");       // encoded surrogate
    EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "????");  // above U+10FFFF
    EXPECT_EQ(Utf8ToCp1252("\x80\xBF"), "??");            // stray continuation bytes
    // A lone surrogate in UTF-16 is one unknown character.
    EXPECT_EQ(Utf16ToCp1252(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x?y");
    EXPECT_EQ(Utf16ToCp1252(std::u16string(1, char16_t(0xDC00))), "?");
}

TEST(Codepage, Cp850) {
    // ä ö ü ß é Ä Ö Ü in code page 850.
    const std::string german = "\x84\x94\x81\xE1\x82\x8E\x99\x9A";
    EXPECT_EQ(Cp850ToUtf8(german), "äöüßéÄÖÜ");
    EXPECT_EQ(Cp850ToCp1252(german), "\xE4\xF6\xFC\xDF\xE9\xC4\xD6\xDC");
    // Box drawing and block characters.
    EXPECT_EQ(Cp850ToUtf8("\xC9\xCD\xBB\xB3\xC4\xC5\xB0\xDB\xFE"), "╔═╗│─┼░█■");
    EXPECT_EQ(Cp850ToCp1252("a\xC9\xCD\xBB"
                            "b"),
              "a???b");
    EXPECT_EQ(Cp850ToCp1252("\x9F\xD5\xF2"), "\x83??");  // ƒ exists in Windows-1252
    EXPECT_EQ(Cp850ToCp1252("\xFF\xF0"), "\xA0\xAD");    // no-break space, soft hyphen
    EXPECT_EQ(Cp850ToUtf8("Plain ASCII 0-9"), "Plain ASCII 0-9");
}

}  // namespace
}  // namespace rvk
