#include "formats/lang_table.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace rvk {

namespace {

// Lines end at CR LF, LF or CR; a break at the very end starts no further line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.push_back(text.substr(start, pos - start));
        ++pos;
        if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        start = pos;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool IsBlankOrControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
    return s;
}

// The number of a number line: an optional sign ("+" is accepted like "-") and
// decimal digits only, within 32 bits. Comments, other lines and -1 give nothing.
std::optional<std::int32_t> NumberOfLine(std::string_view line) {
    std::string_view s = Trim(line);
    if (s.empty() || s.front() == ';') return std::nullopt;
    if (s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() == '-') return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || value == -1) return std::nullopt;
    return value;
}

// "\n" becomes CR LF and "\t" a TAB; any other backslash is an ordinary character.
std::string ExpandEscapes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            if (text[i + 1] == 'n') {
                out += "\r\n";
                ++i;
                continue;
            }
            if (text[i + 1] == 't') {
                out += '\t';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

struct Placeholder {
    bool leftAlign = false;
    bool zeroPad = false;
    char sign = 0;  // '+', ' ' or none
    int width = 0;
    int precision = -1;
    char conversion = 0;  // 's', 'i', 'd' or '%'
};

// Reads a run of digits, saturating at the cap so that no format can ask for
// unbounded padding.
int ReadCount(std::string_view format, std::size_t& pos) {
    int value = 0;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
        value = std::min(kMaxFormatWidth, value * 10 + (format[pos] - '0'));
        ++pos;
    }
    return value;
}

// Parses the placeholder whose "%" is at `pos`; on success `pos` moves past it.
std::optional<Placeholder> ReadPlaceholder(std::string_view format, std::size_t& pos) {
    std::size_t p = pos + 1;
    Placeholder ph;
    for (; p < format.size(); ++p) {
        const char c = format[p];
        if (c == '-') {
            ph.leftAlign = true;
        } else if (c == '0') {
            ph.zeroPad = true;
        } else if (c == '+') {
            ph.sign = '+';
        } else if (c == ' ') {
            if (ph.sign == 0) ph.sign = ' ';
        } else {
            break;
        }
    }
    ph.width = ReadCount(format, p);
    if (p < format.size() && format[p] == '.') {
        ++p;
        ph.precision = ReadCount(format, p);
    }
    if (p >= format.size()) return std::nullopt;
    const char c = format[p];
    if (c != 's' && c != 'i' && c != 'd' && c != '%') return std::nullopt;
    ph.conversion = c;
    pos = p + 1;
    return ph;
}

void AppendPadded(std::string& out, std::string_view text, const Placeholder& ph) {
    const std::size_t width = static_cast<std::size_t>(ph.width);
    const std::size_t pad = text.size() < width ? width - text.size() : 0;
    if (!ph.leftAlign) out.append(pad, ' ');
    out += text;
    if (ph.leftAlign) out.append(pad, ' ');
}

void AppendInteger(std::string& out, long long value, const Placeholder& ph) {
    // The magnitude as unsigned, so that the smallest value has one too.
    const unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                   : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    if (ph.precision > 0 && digits.size() < static_cast<std::size_t>(ph.precision))
        digits.insert(0, static_cast<std::size_t>(ph.precision) - digits.size(), '0');
    std::string sign;
    if (value < 0) {
        sign = "-";
    } else if (ph.sign != 0) {
        sign = std::string(1, ph.sign);
    }
    const std::size_t width = static_cast<std::size_t>(ph.width);
    if (ph.zeroPad && !ph.leftAlign && ph.precision < 0 && sign.size() + digits.size() < width)
        digits.insert(0, width - sign.size() - digits.size(), '0');
    AppendPadded(out, sign + digits, ph);
}

// Walks a format: every character of literal text (a "%" that starts no valid
// placeholder included, "%%" as one "%") goes to `literal`, every placeholder to
// `placeholder`.
template <typename Literal, typename OnPlaceholder>
void ScanFormat(std::string_view format, Literal literal, OnPlaceholder placeholder) {
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t start = pos;
        const std::optional<Placeholder> ph =
            format[pos] == '%' ? ReadPlaceholder(format, pos) : std::nullopt;
        if (!ph) {
            literal(format[start]);
            pos = start + 1;
        } else if (ph->conversion == '%') {
            literal('%');
        } else {
            placeholder(*ph);
        }
    }
}

}  // namespace

std::optional<LangTable> LangTable::Parse(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    text = text.substr(0, text.find('\0'));
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty() || lines.front() != kLangHeader) return std::nullopt;

    LangTable table;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::optional<std::int32_t> number = NumberOfLine(lines[i]);
        if (!number) continue;
        if (i + 1 == lines.size()) break;  // a number without its text line
        ++i;
        table.entries_.push_back({*number, ExpandEscapes(lines[i])});
    }
    std::stable_sort(table.entries_.begin(), table.entries_.end(),
                     [](const LangEntry& a, const LangEntry& b) { return a.number < b.number; });
    return table;
}

std::optional<std::size_t> LangTable::indexOf(std::int32_t number) const {
    if (entries_.empty()) return std::nullopt;
    std::size_t lo = 0;
    std::size_t hi = entries_.size() - 1;
    while (lo <= hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::int32_t n = entries_[mid].number;
        if (n == number) return mid;
        if (n > number) {
            if (mid == 0) break;
            hi = mid - 1;
        } else {
            lo = mid + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::string> LangTable::find(std::int32_t number) const {
    const std::optional<std::size_t> index = indexOf(number);
    if (!index) return std::nullopt;
    return entries_[*index].text;
}

std::optional<std::string> LangTable::take(std::int32_t number) {
    const std::optional<std::size_t> index = indexOf(number);
    if (!index) return std::nullopt;
    const auto it = entries_.begin() + static_cast<std::ptrdiff_t>(*index);
    std::string text = std::move(it->text);
    entries_.erase(it);
    return text;
}

std::string LangTexts::lookup(std::int32_t number, bool removeAfterUse) {
    std::optional<std::string> text = removeAfterUse ? table_.take(number) : table_.find(number);
    if (text) return std::move(*text);
    if (reportMissing_) {
        // Only the first missing number of a run is worth a message box.
        reportMissing_ = false;
        if (report_) report_(FormatText(missingFormat_, {static_cast<long long>(number)}));
    }
    return "#" + std::to_string(number);
}

std::string FormatText(std::string_view format, const std::vector<TextArg>& args) {
    std::string out;
    out.reserve(format.size());
    std::size_t next = 0;
    ScanFormat(
        format, [&](char c) { out += c; },
        [&](const Placeholder& ph) {
            const TextArg* arg = next < args.size() ? &args[next] : nullptr;
            ++next;
            if (arg == nullptr) {
                AppendPadded(out, {}, ph);
            } else if (const auto* value = std::get_if<long long>(arg)) {
                if (ph.conversion == 's') {
                    AppendPadded(out, std::to_string(*value), ph);
                } else {
                    AppendInteger(out, *value, ph);
                }
            } else {
                std::string_view s = std::get<std::string>(*arg);
                if (ph.conversion == 's' && ph.precision >= 0)
                    s = s.substr(0, static_cast<std::size_t>(ph.precision));
                AppendPadded(out, s, ph);
            }
        });
    return out;
}

std::string FormatPlaceholders(std::string_view format) {
    std::string kinds;
    ScanFormat(
        format, [](char) {}, [&](const Placeholder& ph) { kinds += ph.conversion; });
    return kinds;
}

}  // namespace rvk
