#include "host/host_text.h"

#include <algorithm>

#include "formats/codepage.h"
#include "host/host_file.h"
#include "storage/file_io.h"

namespace rvk {

namespace {

// Characters of a line including its CR LF; a longer line is read as several.
constexpr std::size_t kMaxLineChars = 1023;

// Host text files are small; anything larger is not one.
constexpr std::size_t kMaxTextFileBytes = 16u << 20;

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The decimal number at the start of a line in its low 16 bits, as the host reads it:
// blanks skipped, an optional sign, digits up to the first non-digit.
std::uint16_t LineNumber(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    std::uint16_t value = 0;  // only the low 16 bits count, so wrapping is harmless
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        value = static_cast<std::uint16_t>(value * 10 + (line[i] - '0'));
    return negative ? static_cast<std::uint16_t>(-value) : value;
}

}  // namespace

std::vector<std::string> HostTextLines(std::span<const std::uint8_t> bytes) {
    std::vector<std::string> lines;
    std::u16string line;
    const auto finish = [&] {
        // The CR LF ends the line but is not part of its text.
        if (!line.empty() && line.back() == u'\n') line.pop_back();
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        std::string text = Utf16ToCp1252(line);
        // The host keeps its texts as C strings: a NUL ends them.
        text.resize(std::min(text.size(), text.find('\0')));
        if (text.empty() || text[0] != ';') lines.push_back(std::move(text));
        line.clear();
    };
    // The first two bytes are the byte order mark; a lone last byte is no character.
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        line.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
        if (line.back() == u'\n' || line.size() == kMaxLineChars) finish();
    }
    if (!line.empty()) finish();
    return lines;
}

std::optional<std::string> HostLanguageEntry(std::span<const std::uint8_t> iniBytes) {
    constexpr std::string_view kKey = "sprache_f=";
    for (const std::string& line : HostTextLines(iniBytes)) {
        if (line.size() < kKey.size()) continue;
        const bool match = std::equal(kKey.begin(), kKey.end(), line.begin(), [](char k, char c) {
            return k == ((c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c);
        });
        if (match) return line.substr(kKey.size());
    }
    return std::nullopt;
}

HostLanguage ReadHostLanguage(const std::string& installation) {
    const std::string iniPath = HostFilePath(installation, kHostIniFile);
    const auto bytes = ReadFileBytes(iniPath, kMaxTextFileBytes);
    if (!bytes) return {{}, Message{kTextCannotOpen, iniPath}};
    const std::optional<std::string> entry = HostLanguageEntry(*bytes);
    if (!entry || entry->empty())
        return {std::string(kDefaultHostTextFile), Message{kTextNoLanguageEntry, {}}};
    // The entry is Windows-1252; paths are UTF-8 here.
    std::string name = Cp1252ToUtf8(*entry);
    if (!FileExists(HostFilePath(installation, name)))
        return {std::string(kDefaultHostTextFile), std::nullopt};
    return {std::move(name), std::nullopt};
}

HostTextTable HostTextTable::Parse(std::span<const std::uint8_t> bytes) {
    HostTextTable table;
    const std::vector<std::string> lines = HostTextLines(bytes);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::uint16_t number = LineNumber(lines[i]);
        if (number == 0 || i + 1 == lines.size()) continue;
        table.entries_.emplace_back(number, lines[++i]);
    }
    std::stable_sort(table.entries_.begin(), table.entries_.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    return table;
}

const std::string& HostText(const HostTextTable& table, std::uint16_t number) {
    static const std::string kNone;
    const auto& entries = table.entries_;
    const auto it = std::lower_bound(entries.begin(), entries.end(), number,
                                     [](const auto& e, std::uint16_t n) { return e.first > n; });
    return (number != 0 && it != entries.end() && it->first == number) ? it->second : kNone;
}

HostTexts LoadHostTexts(const std::string& installation, const std::string& fileName) {
    const std::string path = HostFilePath(installation, fileName);
    const auto bytes = ReadFileBytes(path, kMaxTextFileBytes);
    if (!bytes) return {{}, Message{kTextCannotOpen, path}};
    return {HostTextTable::Parse(*bytes), std::nullopt};
}

}  // namespace rvk
