#include "host/host_file.h"

#include <algorithm>
#include <filesystem>

#include "formats/codepage.h"
#include "storage/file_io.h"

namespace rvk {

namespace fs = std::filesystem;

namespace {

// The least read at once: an index takes few system calls, a seek to a set header
// reads little beyond it.
constexpr std::size_t kWindowBytes = 4096;

#ifndef _WIN32
// Host names are Windows-1252, so its letters match whatever their case, as on Windows.
bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return LowerCp1252LettersUtf8(a) == LowerCp1252LettersUtf8(b);
}

// The entry of the folder named `name` ignoring case: the exact name when it exists,
// else the first such name in byte order; empty when there is none.
std::string MatchInFolder(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / PathFromUtf8(name), ec)) return name;
    std::string best;
    const fs::path listed = folder.empty() ? fs::path(".") : folder;  // a name without folder
    for (fs::directory_iterator it(listed, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = Utf8FromPath(it->path().filename());
        if (EqualIgnoringCase(entry, name) && (best.empty() || entry < best)) best = entry;
    }
    return best;
}
#endif

}  // namespace

std::string HostFilePath(const std::string& installation, std::string_view relative) {
    std::string plain = installation;
    for (char c : relative) plain.push_back(c == '\\' || c == '/' ? kPathSeparator : c);
#ifdef _WIN32
    return plain;
#else
    fs::path found = PathFromUtf8(installation);
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string_view::npos) end = relative.size();
        const std::string part(relative.substr(start, end - start));
        start = end + 1;
        if (part.empty()) continue;
        const std::string match = MatchInFolder(found, part);
        if (match.empty()) return plain;
        found /= PathFromUtf8(match);
    }
    return Utf8FromPath(found);
#endif
}

std::unique_ptr<HostFile> HostFile::Open(const std::string& path) {
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    // A folder or a pipe has no bytes to give (and opening a pipe could block).
    if (!fs::is_regular_file(p, ec)) return nullptr;
    std::unique_ptr<HostFile> file(new HostFile());
    file->stream_.open(p, std::ios::binary);
    if (!file->stream_) return nullptr;
    file->stream_.seekg(0, std::ios::end);
    const std::streamoff size = file->stream_.tellg();
    if (size < 0) return nullptr;
    file->size_ = static_cast<std::uint64_t>(size);
    return file;
}

HostFile::HostFile(std::span<const std::uint8_t> bytes) : memory_(bytes), size_(bytes.size()) {}

bool HostFile::seek(std::uint64_t pos) {
    if (pos > size_) return false;
    pos_ = pos;
    return true;
}

std::span<const std::uint8_t> HostFile::peek(std::size_t n) {
    const std::size_t available =
        static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - pos_));
    if (!stream_.is_open()) return memory_.subspan(static_cast<std::size_t>(pos_), available);
    if (pos_ < windowStart_ || pos_ + available > windowStart_ + window_.size()) {
        // Twice what is asked for: records read one after another each look far ahead
        // for their longest possible size but use far less.
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max(2 * n, kWindowBytes), size_ - pos_));
        window_.resize(want);
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(pos_));
        stream_.read(reinterpret_cast<char*>(window_.data()), static_cast<std::streamsize>(want));
        // A file that shrank while being read simply ends earlier.
        window_.resize(static_cast<std::size_t>(std::max<std::streamsize>(stream_.gcount(), 0)));
        windowStart_ = pos_;
    }
    const std::size_t offset = static_cast<std::size_t>(pos_ - windowStart_);
    return std::span<const std::uint8_t>(window_).subspan(
        offset, std::min(available, window_.size() - offset));
}

void HostFile::advance(std::size_t n) {
    pos_ += std::min<std::uint64_t>(n, size_ - pos_);
}

bool HostFile::skipPast(std::uint8_t byte) {
    while (pos_ < size_) {
        const auto chunk = peek(kWindowBytes);
        if (chunk.empty()) break;
        const auto it = std::find(chunk.begin(), chunk.end(), byte);
        advance(static_cast<std::size_t>(it - chunk.begin()) + (it != chunk.end() ? 1 : 0));
        if (it != chunk.end()) return true;
    }
    pos_ = size_;
    return false;
}

}  // namespace rvk
