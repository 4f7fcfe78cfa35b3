// The host's text files: its settings file vuvi.ini, which names the host text file,
// and that text file with the names of sets and the info strings of vehicles.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/file_messages.h"

namespace rvk {

inline constexpr std::string_view kHostIniFile = "vuvi.ini";
inline constexpr std::string_view kDefaultHostTextFile = "vuvi.lnv";
inline constexpr int kTextNoLanguageEntry = 566;  // language text: vuvi.ini names no text file

// The lines of a host text file (UTF-16LE, byte order mark skipped unchecked), each as
// Windows-1252 without its line ending ('?' for characters the code page lacks). A
// line holds at most 1023 characters with its CR LF; a longer one comes as several.
// Comment lines (first character ';') are left out.
std::vector<std::string> HostTextLines(std::span<const std::uint8_t> bytes);

// The host text file named by the bytes of a vuvi.ini: the rest of the first line
// starting with "sprache_f=" (any case); nothing when there is none.
std::optional<std::string> HostLanguageEntry(std::span<const std::uint8_t> iniBytes);

struct HostLanguage {
    // The host text file to load (UTF-8, as paths are); empty when vuvi.ini could not
    // be opened, and the caller then keeps its texts and sets as they are.
    std::string fileName;
    // 555 with the path of vuvi.ini when it could not be opened, 566 when it names no
    // text file (vuvi.lnv is used then); to be shown to the user.
    std::optional<Message> message;
};
// The host text file of the installation (a path ending in the separator). A named
// file that does not exist in the installation gives vuvi.lnv without a message.
HostLanguage ReadHostLanguage(const std::string& installation);

// The host's texts by number, highest number first.
class HostTextTable {
public:
    HostTextTable() = default;
    // Entries from the bytes of a host text file: a line whose decimal number (blanks
    // skipped, optional sign) is not 0 in its low 16 bits starts an entry, and the
    // next line is its text.
    static HostTextTable Parse(std::span<const std::uint8_t> bytes);

    bool empty() const { return entries_.empty(); }
    const std::vector<std::pair<std::uint16_t, std::string>>& entries() const { return entries_; }

private:
    friend const std::string& HostText(const HostTextTable& table, std::uint16_t number);
    std::vector<std::pair<std::uint16_t, std::string>> entries_;
};

// The text of the number (binary search); empty for 0 and for numbers not in the table.
const std::string& HostText(const HostTextTable& table, std::uint16_t number);

struct HostTexts {
    HostTextTable table;             // empty when the file could not be read
    std::optional<Message> message;  // 555 with the file's path then
};
// The texts of installation + file name.
HostTexts LoadHostTexts(const std::string& installation, const std::string& fileName);

}  // namespace rvk
