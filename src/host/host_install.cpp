#include "host/host_install.h"

#include <filesystem>

#include "host/host_file.h"
#include "storage/file_io.h"

namespace rvk {

namespace fs = std::filesystem;

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads Wine's escaped text from `pos` up to the unescaped `end` character, which is
// consumed; the text as UTF-8. Nothing when the line ends first. Escapes: \\, \", the
// usual control letters, \xHHHH (one to four hex digits, a UTF-16 unit) and octal.
std::optional<std::string> Unescape(std::string_view line, std::size_t& pos, char end) {
    std::string out;
    char16_t highSurrogate = 0;
    const auto unit = [&](char16_t u) {
        if (u >= 0xD800 && u < 0xDC00) {
            if (highSurrogate) AppendUtf8(out, 0xFFFD);
            highSurrogate = u;
            return;
        }
        if (u >= 0xDC00 && u < 0xE000 && highSurrogate) {
            AppendUtf8(out, 0x10000 + ((char32_t{highSurrogate} - 0xD800) << 10) + (u - 0xDC00));
        } else {
            if (highSurrogate) AppendUtf8(out, 0xFFFD);
            AppendUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
        }
        highSurrogate = 0;
    };
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == end) {
            if (highSurrogate) AppendUtf8(out, 0xFFFD);
            return out;
        }
        if (c != '\\' || pos == line.size()) {
            if (highSurrogate) AppendUtf8(out, 0xFFFD), highSurrogate = 0;
            out.push_back(c);  // the file's own bytes are UTF-8 already
            continue;
        }
        const char e = line[pos++];
        switch (e) {
            case 'n':
                unit(u'\n');
                break;
            case 'r':
                unit(u'\r');
                break;
            case 't':
                unit(u'\t');
                break;
            case 'a':
                unit(u'\a');
                break;
            case 'b':
                unit(u'\b');
                break;
            case 'e':
                unit(0x1B);
                break;
            case 'f':
                unit(u'\f');
                break;
            case 'v':
                unit(u'\v');
                break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                for (; digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0; ++digits)
                    value = value * 16 + static_cast<unsigned>(HexDigit(line[pos++]));
                unit(digits ? static_cast<char16_t>(value) : u'x');
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int k = 0;
                         k < 2 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++k)
                        value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
                    unit(static_cast<char16_t>(value));
                } else {
                    unit(static_cast<char16_t>(static_cast<unsigned char>(e)));
                }
        }
    }
    return std::nullopt;
}

}  // namespace

bool IsInstallation(const std::string& path) {
    if (path.empty() || (path.back() != kPathSeparator && path.back() != '/')) return false;
    std::error_code ec;
    return fs::is_directory(PathFromUtf8(path), ec) && FileExists(HostFilePath(path, "vuvi.fzg")) &&
           FileExists(HostFilePath(path, "vuvi.ini"));
}

std::vector<std::string> WineHostPaths(std::string_view userReg) {
    std::vector<std::string> paths;
    bool inKey = false;
    std::size_t start = 0;
    while (start < userReg.size()) {
        std::size_t stop = userReg.find('\n', start);
        if (stop == std::string_view::npos) stop = userReg.size();
        std::string_view line = userReg.substr(start, stop - start);
        start = stop + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::size_t pos = 1;
        if (line.starts_with('[')) {
            const auto key = Unescape(line, pos, ']');
            inKey = key && EqualIgnoringCase(*key, kHostRegistryKey);
            continue;
        }
        if (!inKey || !line.starts_with('"')) continue;
        const auto name = Unescape(line, pos, '"');
        if (!name || pos + 1 >= line.size() || line[pos] != '=' || line[pos + 1] != '"') continue;
        pos += 2;
        const auto value = Unescape(line, pos, '"');
        if (value && name->find(kHostPathValueMark) != std::string::npos) paths.push_back(*value);
    }
    return paths;
}

std::optional<std::string> MapWinePath(const std::string& prefix, std::string_view windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        !((windowsPath[0] >= 'A' && windowsPath[0] <= 'Z') ||
          (windowsPath[0] >= 'a' && windowsPath[0] <= 'z')) ||
        (windowsPath.size() > 2 && windowsPath[2] != '\\' && windowsPath[2] != '/'))
        return std::nullopt;
    std::string drive = {LowerAscii(windowsPath[0]), ':'};
    std::string folder =
        HostFilePath(prefix + "/dosdevices/", drive + std::string(windowsPath.substr(2)));
    std::error_code ec;
    if (!fs::is_directory(PathFromUtf8(folder), ec)) return std::nullopt;
    if (folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string WinePrefix(const std::function<std::optional<std::string>(const char*)>& env) {
    if (const auto prefix = env("WINEPREFIX"); prefix && !prefix->empty()) return *prefix;
    if (const auto home = env("HOME"); home && !home->empty()) return *home + "/.wine";
    return {};
}

std::vector<std::string> WineInstallations(const std::string& prefix) {
    std::vector<std::string> found;
    if (prefix.empty()) return found;
    const auto userReg = ReadFileBytes(prefix + "/user.reg");
    if (!userReg) return found;
    const std::string_view text(reinterpret_cast<const char*>(userReg->data()), userReg->size());
    for (const std::string& windowsPath : WineHostPaths(text))
        if (const auto path = MapWinePath(prefix, windowsPath); path && IsInstallation(*path))
            found.push_back(*path);
    return found;
}

}  // namespace rvk
