// Language texts: the language file format, the sorted table of numbered texts and
// the lookup every window uses for its captions and messages.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rvk {

inline constexpr std::string_view kLangHeader = "RVK30b2lng";
inline constexpr std::string_view kDefaultLangFile = "rvk3b2.lng";

struct LangEntry {
    std::int32_t number = 0;
    std::string text;  // Windows-1252 bytes, escapes already expanded
};

class LangTable {
public:
    // Parses a language file; nothing when its first line is not the header.
    static std::optional<LangTable> Parse(std::span<const std::uint8_t> bytes);

    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    const std::vector<LangEntry>& entries() const { return entries_; }

    // Binary search; the text, or nothing when the number is absent.
    std::optional<std::string> find(std::int32_t number) const;
    // Like find, and removes the entry so later lookups of the number miss.
    std::optional<std::string> take(std::int32_t number);

private:
    std::optional<std::size_t> indexOf(std::int32_t number) const;

    std::vector<LangEntry> entries_;  // ascending by number
};

// The program's current texts: the table plus the once-per-run report of a missing
// number. The report callback shows the message; it gets the formatted text.
class LangTexts {
public:
    using MissingReport = std::function<void(const std::string& message)>;

    void setTable(LangTable table) { table_ = std::move(table); }
    const LangTable& table() const { return table_; }
    void setMissingReport(MissingReport report) { report_ = std::move(report); }
    void setMissingTextFormat(std::string format) { missingFormat_ = std::move(format); }
    const std::string& missingTextFormat() const { return missingFormat_; }
    bool reportMissingText() const { return reportMissing_; }

    // The text of the number; "#<number>" when absent, reported once per run.
    std::string lookup(std::int32_t number, bool removeAfterUse = false);

private:
    LangTable table_;
    MissingReport report_;
    std::string missingFormat_ = "LNG: Can't find text #%i";
    bool reportMissing_ = true;
};

// printf-style formatting of language texts with %s, %i, %d and %%, safe against any
// format: flags ("-", "0", "+", blank), width and precision work as in printf (both
// capped at kMaxFormatWidth); a placeholder of the other kind takes its argument as
// text, one without an argument stands for the empty text; surplus arguments are
// ignored; a "%" that starts no valid placeholder is copied as it is.
using TextArg = std::variant<std::string, long long>;
inline constexpr int kMaxFormatWidth = 1000;
std::string FormatText(std::string_view format, const std::vector<TextArg>& args);

// The conversions of the placeholders of a format in order ('s', 'i' or 'd'; "%%"
// is none), as FormatText reads them. Translations must keep this sequence.
std::string FormatPlaceholders(std::string_view format);

}  // namespace rvk
