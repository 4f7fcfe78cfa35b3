// The shipped language files: complete, well-formed and interchangeable.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "formats/codepage.h"
#include "formats/lang_table.h"

namespace rvk {
namespace {

struct TextRange {
    const char* place;
    std::int32_t first;
    std::int32_t last;
};

// Every number the program looks up, by the window or role that asks for it.
constexpr TextRange kUsedTexts[] = {
    {"missing-text message", 1, 1},
    {"main menu", 5, 9},
    {"main menu: File", 15, 20},
    {"main menu: Options", 30, 30},
    {"main menu: Window", 40, 43},
    {"main menu: Help", 45, 45},
    {"document window", 50, 56},
    {"document window: info label", 170, 170},
    {"fleet window", 60, 66},
    {"vehicle window: Edit menu", 70, 78},
    {"vehicle window: undo and redo steps", 900, 920},
    {"tool panel: selection mode and label, status bar", 100, 102},
    {"tool panel: buttons and tools", 110, 115},
    {"tool panel: tool hints", 120, 127},
    {"tool panel: colour types", 130, 142},
    {"tool panel: day and night", 150, 154},
    {"vehicle window: tabs, pages, labels", 200, 205},
    {"vehicle window: layouts", 207, 208},
    {"vehicle window: size labels", 210, 213},
    {"vehicle window: property boxes", 215, 220},
    {"generated names", 500, 501},
    {"generated info texts", 505, 506},
    {"file filters", 510, 514},
    {"button texts", 521, 522},
    {"message captions and messages", 540, 569},
    {"messages", 571, 575},
    {"file messages and their reasons", 590, 599},
    {"picture messages", 600, 603},
    {"picture messages", 606, 606},
    {"recovery question and message", 640, 643},
    {"vehicle window: status bar and cell grid", 620, 631},
    {"locale of the toolkit's own texts", 632, 632},
    {"file dialog titles", 700, 703},
    {"picture dialog titles", 710, 712},
    {"steam points dialog", 720, 726},
    {"about box", 740, 741},
    {"import dialog", 750, 783},
    {"shift dialog", 800, 806},
};

std::optional<LangTable> LoadShipped(const std::string& name) {
    std::ifstream in(std::string(RVK_SOURCE_DIR) + "/lang/" + name, std::ios::binary);
    if (!in) return std::nullopt;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    return LangTable::Parse(bytes);
}

class ShippedLangFile : public testing::TestWithParam<const char*> {};

TEST_P(ShippedLangFile, DefinesEveryUsedNumberOnce) {
    const std::optional<LangTable> table = LoadShipped(GetParam());
    ASSERT_TRUE(table) << GetParam();
    std::set<std::int32_t> seen;
    for (const LangEntry& e : table->entries())
        EXPECT_TRUE(seen.insert(e.number).second) << "text " << e.number << " twice";
    for (const TextRange& range : kUsedTexts)
        for (std::int32_t n = range.first; n <= range.last; ++n)
            EXPECT_TRUE(seen.count(n)) << range.place << ": text " << n << " missing";
}

TEST_P(ShippedLangFile, TextsAreClean) {
    const std::optional<LangTable> table = LoadShipped(GetParam());
    ASSERT_TRUE(table);
    for (const LangEntry& e : table->entries()) {
        if (e.text.empty()) {
            ADD_FAILURE() << "text " << e.number << " is empty";
            continue;
        }
        // The texts are Windows-1252: decoding to Unicode and back changes nothing,
        // and no byte is one of the code page's undefined ones.
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(e.text)), e.text) << e.number;
        EXPECT_EQ(e.text.find_first_of("\x81\x8D\x8F\x90\x9D"), std::string::npos) << e.number;
        EXPECT_NE(e.text.front(), ' ') << e.number;
        EXPECT_NE(e.text.back(), ' ') << e.number;
    }
    // The generated document name is a format prefix for a two-digit counter and
    // ".rvk", and part of a file name.
    const std::string untitled = *table->find(501);
    EXPECT_EQ(FormatText(untitled + "%02d.rvk", {3LL}), untitled + "03.rvk");
    EXPECT_EQ(untitled.find_first_of("\\/:*?\"<>|%"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(LangFiles, ShippedLangFile, testing::Values("rvk3b2.lng", "deutsch.lng"));

TEST(LangFiles, TranslationKeepsNumbersAndPlaceholders) {
    const std::optional<LangTable> english = LoadShipped("rvk3b2.lng");
    const std::optional<LangTable> german = LoadShipped("deutsch.lng");
    ASSERT_TRUE(english && german);
    EXPECT_EQ(english->size(), german->size());
    for (const LangEntry& en : english->entries()) {
        const std::optional<std::string> de = german->find(en.number);
        if (!de) {
            ADD_FAILURE() << "text " << en.number << " has no translation";
            continue;
        }
        EXPECT_EQ(FormatPlaceholders(en.text), FormatPlaceholders(*de)) << en.number;
    }
    // Messages with arguments carry exactly the placeholders their callers fill.
    const std::pair<std::int32_t, const char*> kPlaceholders[] = {
        {1, "i"},    {505, "s"}, {545, "s"},  {555, "s"},     {561, "i"},  {562, "i"},
        {565, "s"},  {567, "s"}, {572, "s"},  {573, "s"},     {574, "s"},  {580, "s"},
        {741, "ss"}, {501, ""},  {772, ""},   {807, "s"},     {640, ""},   {641, "s"},
        {642, "ss"}, {643, "s"}, {628, "ii"}, {629, "ssiii"}, {630, "ii"},
    };
    for (const auto& [number, kinds] : kPlaceholders)
        EXPECT_EQ(FormatPlaceholders(*english->find(number)), kinds) << number;
}

TEST(LangFiles, GermanUsesSingleByteUmlauts) {
    const std::optional<LangTable> german = LoadShipped("deutsch.lng");
    ASSERT_TRUE(german);
    EXPECT_EQ(german->find(522),
              "Schlie\xDF"
              "en");
    EXPECT_EQ(Cp1252ToUtf8(*german->find(16)), "Ö&ffnen...");
    EXPECT_EQ(Cp1252ToUtf8(*german->find(545)),
              "Die Datei %s wurde geändert.\r\nSollen die Änderungen gespeichert werden?");
}

}  // namespace
}  // namespace rvk
