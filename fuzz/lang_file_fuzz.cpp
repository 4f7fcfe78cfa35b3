// Language files are read from the program folder, where anyone may drop one; their
// texts then go through FormatText as formats. Neither may crash on any input.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "formats/codepage.h"
#include "formats/lang_table.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Every text as a format, with arguments of both kinds and one too few.
    const std::vector<rvk::TextArg> args = {std::string("C:\\path\\file.rvk"), -12345LL,
                                            std::string(bytes.substr(0, 16))};
    const std::string direct = rvk::FormatText(bytes, args);
    Check(direct.size() <= size * (rvk::kMaxFormatWidth + 40) + 64);

    std::optional<rvk::LangTable> table = rvk::LangTable::Parse(std::span(data, size));
    if (table) {
        Check(table->size() <= size);
        std::int32_t previous = 0;
        bool first = true;
        for (const rvk::LangEntry& entry : table->entries()) {
            Check(first || previous <= entry.number);
            Check(entry.number != -1);
            Check(table->find(entry.number).has_value());
            first = false;
            previous = entry.number;
            rvk::FormatText(entry.text, args);
            rvk::FormatPlaceholders(entry.text);
        }
        rvk::LangTexts texts;
        texts.setTable(std::move(*table));
        int reports = 0;
        texts.setMissingReport([&](const std::string&) { ++reports; });
        const std::size_t count = texts.table().size();
        for (std::int32_t n : {1, 5, 544, 555, -1, 0}) texts.lookup(n, true);
        Check(reports <= 1);
        Check(texts.table().size() <= count);
    }

    // Stored strings pass through Unicode at the user interface and must come back.
    Check(rvk::Utf8ToCp1252(rvk::Cp1252ToUtf8(bytes)) == bytes);
    Check(rvk::Utf16ToCp1252(rvk::Cp1252ToUtf16(bytes)) == bytes);
    Check(rvk::Utf8ToCp1252(bytes).size() <= size);
    Check(rvk::Cp850ToCp1252(bytes).size() == size);
    Check(rvk::Utf8ToCp1252(rvk::Cp850ToUtf8(bytes)) == rvk::Cp850ToCp1252(bytes));
    return 0;
}
