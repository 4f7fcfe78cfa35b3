// The host's text files (vuvi.ini, the text file) and the Wine registry file are read
// from installations and prefixes copied from anywhere: reading them must never crash,
// and what comes out must keep the shape the catalogue relies on.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>

#include "fuzz_check.h"
#include "host/host_install.h"
#include "host/host_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rvk::fuzz::Check;
    const std::span<const std::uint8_t> bytes(data, size);
    for (const std::string& line : rvk::HostTextLines(bytes))
        Check(line.size() <= 1023 && !line.starts_with(';') &&
              line.find('\0') == std::string::npos);
    if (const auto name = rvk::HostLanguageEntry(bytes)) Check(name->size() <= 1013);

    const rvk::HostTextTable table = rvk::HostTextTable::Parse(bytes);
    const auto& entries = table.entries();
    Check(std::is_sorted(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; }));
    for (const auto& entry : entries) {
        const std::uint16_t number = entry.first;
        Check(number != 0);
        const std::string& found = rvk::HostText(table, number);
        Check(std::any_of(entries.begin(), entries.end(),
                          [&](const auto& e) { return e.first == number && e.second == found; }));
    }
    Check(rvk::HostText(table, 0).empty());

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& path : rvk::WineHostPaths(text)) Check(path.size() <= 4 * size);
    return 0;
}
