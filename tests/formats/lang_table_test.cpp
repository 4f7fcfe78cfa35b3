#include "formats/lang_table.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

std::optional<LangTable> ParseText(std::string_view text) {
    return LangTable::Parse({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

LangTable ParseOk(std::string_view text) {
    std::optional<LangTable> table = ParseText(text);
    EXPECT_TRUE(table.has_value());
    return table ? std::move(*table) : LangTable{};
}

std::vector<std::int32_t> Numbers(const LangTable& table) {
    std::vector<std::int32_t> numbers;
    for (const LangEntry& e : table.entries()) numbers.push_back(e.number);
    return numbers;
}

TEST(LangTable, HeaderMustMatchExactly) {
    EXPECT_TRUE(ParseText("RVK30b2lng"));
    EXPECT_TRUE(ParseText("RVK30b2lng\r\n"));
    EXPECT_TRUE(ParseText("RVK30b2lng\n5\nFile"));
    EXPECT_FALSE(ParseText(""));
    EXPECT_FALSE(ParseText("RVK30b2lng \r\n5\r\nFile\r\n"));
    EXPECT_FALSE(ParseText(" RVK30b2lng\r\n"));
    EXPECT_FALSE(ParseText("rvk30b2lng\r\n"));
    EXPECT_FALSE(ParseText("\r\nRVK30b2lng\r\n"));
    EXPECT_FALSE(ParseText("\xEF\xBB\xBFRVK30b2lng\r\n"));  // a byte order mark is not allowed
    EXPECT_FALSE(ParseText(std::string_view("RVK30b2\0lng", 11)));
}

TEST(LangTable, LineBreaksOfEveryKind) {
    const LangTable table = ParseOk("RVK30b2lng\r\n1\rone\n2\r\ntwo\n\n3\r\rthree");
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table.find(1), "one");
    EXPECT_EQ(table.find(2), "two");
    EXPECT_EQ(table.find(3), "");  // the empty line right after the number is its text
    // A break at the very end adds no empty text line, so 9 has none and is dropped.
    EXPECT_EQ(ParseOk("RVK30b2lng\r\n8\r\neight\r\n9\r\n").size(), 1u);
    EXPECT_EQ(ParseOk("RVK30b2lng\r\n8\r\neight\r\n9\r\n\r\n").find(9), "");
}

TEST(LangTable, NulEndsTheText) {
    const LangTable table = ParseOk(std::string_view("RVK30b2lng\n1\nab\0cd\n2\ntwo\n", 25));
    EXPECT_EQ(table.size(), 1u);
    EXPECT_EQ(table.find(1), "ab");
}

TEST(LangTable, CommentsAndNumberLines) {
    const LangTable table = ParseOk(
        "RVK30b2lng\r\n"
        "; main menu\r\n"
        "\r\n"
        "   \t\r\n"
        "  ;indented comment\r\n"
        "  42 \t\r\n"
        "  text keeps its blanks  \r\n"
        "abc\r\n"  // not a number: skipped, the next line is read as a number line
        "43\r\n"
        ";not a comment but the text of 43\r\n"
        "-1\r\n"
        "minus one is skipped\r\n"
        "44\r\n"
        "\r\n"
        "-7\r\n"
        "negative\r\n"
        "+8\r\n"
        "plus\r\n");
    EXPECT_EQ(table.find(42), "  text keeps its blanks  ");
    EXPECT_EQ(table.find(43), ";not a comment but the text of 43");
    EXPECT_EQ(table.find(44), "");
    EXPECT_EQ(table.find(-7), "negative");
    EXPECT_EQ(table.find(8), "plus");
    EXPECT_FALSE(table.find(-1));
    // "minus one is skipped" is then a non-number line, so nothing else is defined.
    EXPECT_EQ(Numbers(table), (std::vector<std::int32_t>{-7, 8, 42, 43, 44}));
}

TEST(LangTable, MalformedNumbersAreSkipped) {
    for (const char* bad : {"12abc", "+-3", "-+3", "++3", "+", "-", "1 2", "0x10", "1.5",
                            "2147483648", "-2147483649", "99999999999999999999", "\xB9"}) {
        const std::string text = std::string("RVK30b2lng\n") + bad + "\n7\nseven\n";
        const LangTable table = ParseOk(text);
        EXPECT_EQ(Numbers(table), std::vector<std::int32_t>{7}) << bad;
    }
    const LangTable limits = ParseOk("RVK30b2lng\n2147483647\nmax\n-2147483648\nmin\n007\nx\n");
    EXPECT_EQ(limits.find(2147483647), "max");
    EXPECT_EQ(limits.find(-2147483647 - 1), "min");
    EXPECT_EQ(limits.find(7), "x");
}

TEST(LangTable, Escapes) {
    const LangTable table = ParseOk(
        "RVK30b2lng\n"
        "1\nA\\nB\n"
        "2\nA\\tB\n"
        "3\nC:\\temp\\x\\\\n\\\n"
        "4\n\\n\\t\\\n");
    EXPECT_EQ(table.find(1), "A\r\nB");
    EXPECT_EQ(table.find(2), "A\tB");
    // A path loses "\t" to a TAB; other backslashes stay, and a doubled backslash
    // is no escape of its own.
    EXPECT_EQ(table.find(3), "C:\temp\\x\\\r\n\\");
    EXPECT_EQ(table.find(4), "\r\n\t\\");
}

TEST(LangTable, SortedStablyAndSearched) {
    LangTable table = ParseOk("RVK30b2lng\n30\nc\n10\na\n20\nb1\n-5\nm\n20\nb2\n");
    EXPECT_EQ(Numbers(table), (std::vector<std::int32_t>{-5, 10, 20, 20, 30}));
    EXPECT_EQ(table.entries()[2].text, "b1");
    EXPECT_EQ(table.entries()[3].text, "b2");
    for (std::int32_t n : {-5, 10, 30}) EXPECT_TRUE(table.find(n)) << n;
    for (std::int32_t n : {-6, 0, 15, 31, std::numeric_limits<std::int32_t>::min()})
        EXPECT_FALSE(table.find(n)) << n;

    EXPECT_EQ(table.take(10), "a");
    EXPECT_FALSE(table.find(10));
    EXPECT_FALSE(table.take(10));
    EXPECT_EQ(table.find(-5), "m");
    EXPECT_EQ(table.find(30), "c");
    EXPECT_EQ(table.size(), 4u);

    LangTable empty;
    EXPECT_FALSE(empty.find(0));
    EXPECT_FALSE(empty.take(0));
}

TEST(LangTable, BinarySearchFindsEveryEntryOfALargeTable) {
    std::string text = "RVK30b2lng\n";
    for (int n = 999; n >= 0; n -= 3) text += std::to_string(n) + "\nt" + std::to_string(n) + "\n";
    LangTable table = ParseOk(text);
    for (int n = 0; n < 1000; ++n) EXPECT_EQ(table.find(n).has_value(), n % 3 == 0) << n;
    for (int n = 0; n < 1000; n += 3) EXPECT_EQ(table.take(n), "t" + std::to_string(n));
    EXPECT_TRUE(table.empty());
}

TEST(LangTexts, LookupReportsTheFirstMissingNumberOnly) {
    LangTexts texts;
    texts.setTable(ParseOk("RVK30b2lng\n5\n&File\n544\nError\n"));
    std::vector<std::string> reports;
    texts.setMissingReport([&](const std::string& message) { reports.push_back(message); });

    EXPECT_EQ(texts.lookup(5, true), "&File");
    EXPECT_EQ(texts.lookup(544), "Error");
    EXPECT_EQ(texts.lookup(544), "Error");
    EXPECT_TRUE(reports.empty());

    EXPECT_EQ(texts.lookup(5), "#5");  // removed by the first lookup
    EXPECT_EQ(texts.lookup(77), "#77");
    EXPECT_EQ(texts.lookup(-3), "#-3");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "LNG: Can't find text #5");
    EXPECT_FALSE(texts.reportMissingText());

    // A new table does not bring the report back.
    texts.setTable(ParseOk("RVK30b2lng\n"));
    EXPECT_EQ(texts.lookup(1), "#1");
    EXPECT_EQ(reports.size(), 1u);
}

TEST(LangTexts, MissingReportUsesTheCurrentFormat) {
    LangTexts texts;
    texts.setMissingTextFormat("Text %i fehlt (%s)");
    std::string report;
    texts.setMissingReport([&](const std::string& message) { report = message; });
    EXPECT_EQ(texts.lookup(12), "#12");
    EXPECT_EQ(report, "Text 12 fehlt ()");
}

TEST(FormatText, Conversions) {
    EXPECT_EQ(FormatText("Can't open %s.", {std::string("C:\\a b.rvk")}),
              "Can't open C:\\a b.rvk.");
    EXPECT_EQ(FormatText("%i..%d", {3LL, -42LL}), "3..-42");
    EXPECT_EQ(FormatText("100%% of %s", {std::string("x")}), "100% of x");
    EXPECT_EQ(FormatText("%s by %s, %s", {std::string("A"), std::string("B")}), "A by B, ");
    EXPECT_EQ(FormatText("%s", {std::string("a"), 5LL}), "a");
    EXPECT_EQ(FormatText("no placeholders", {1LL}), "no placeholders");
    // The other kind of argument is taken as text.
    EXPECT_EQ(FormatText("%d|%s", {std::string("x"), 7LL}), "x|7");
}

TEST(FormatText, FlagsWidthAndPrecision) {
    EXPECT_EQ(FormatText("Untitled%02d.rvk", {3LL}), "Untitled03.rvk");
    EXPECT_EQ(FormatText("%02d", {123LL}), "123");
    EXPECT_EQ(FormatText("%s-%02d-%02d.fzz", {std::string("C:\\t"), 0LL, 11LL}), "C:\\t-00-11.fzz");
    EXPECT_EQ(FormatText("%s %.5d", {std::string("Reading"), 512LL}), "Reading 00512");
    EXPECT_EQ(FormatText("[%5i][%-5i][%05d][%+d][% d]", {42LL, 42LL, -42LL, 7LL, 7LL}),
              "[   42][42   ][-0042][+7][ 7]");
    EXPECT_EQ(FormatText("[%6s][%-6s][%.2s]",
                         {std::string("ab"), std::string("ab"), std::string("abcdef")}),
              "[    ab][ab    ][ab]");
    EXPECT_EQ(FormatText("%d", {std::numeric_limits<long long>::min()}), "-9223372036854775808");
    // Widths are capped rather than honoured without limit.
    EXPECT_EQ(FormatText("%999999999999d", {1LL}).size(),
              static_cast<std::size_t>(kMaxFormatWidth));
}

TEST(FormatText, BrokenPlaceholdersAreCopied) {
    EXPECT_EQ(FormatText("50%", {1LL}), "50%");
    EXPECT_EQ(FormatText("%x %n %5", {1LL}), "%x %n %5");
    EXPECT_EQ(FormatText("%0:s and %s", {std::string("a")}), "%0:s and a");
    EXPECT_EQ(FormatText("%", {}), "%");
    EXPECT_EQ(FormatText("", {}), "");
}

TEST(FormatText, Placeholders) {
    EXPECT_EQ(FormatPlaceholders("%s: %i of %02d, 100%%"), "sid");
    EXPECT_EQ(FormatPlaceholders("50% off %x"), "");
    EXPECT_EQ(FormatPlaceholders("%-.3s%5i"), "si");
}

}  // namespace
}  // namespace rvk
