// Reading the files of a host installation: finding them whatever the case of their
// names, and random access to large files without holding them whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// The native folder separator; installation paths end in it.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The path of a file of the installation. `relative` may name a subfolder with either
// separator ("zoom2\\05012-03.fzz"). Files copied from Windows often differ in case
// ("VUVI.FZG"), so on a case-sensitive file system each part is matched ignoring case
// against the real folder (an exact match first); on Windows the plain path. When
// nothing matches, the plain path, so that a message can name it.
std::string HostFilePath(const std::string& installation, std::string_view relative);

// Random access to the bytes of a file through a window that follows the read
// position: a catalogue of hundreds of megabytes is walked with seeks and only the
// parts read are ever in memory. Every read stops at the end of the file.
class HostFile {
public:
    // A regular file only: a missing file, a folder, a pipe or a device gives nothing.
    static std::unique_ptr<HostFile> Open(const std::string& path);
    // The given bytes as a file (tests, fuzzing).
    explicit HostFile(std::span<const std::uint8_t> bytes);

    std::uint64_t size() const { return size_; }
    std::uint64_t pos() const { return pos_; }
    // False (and the position unchanged) beyond the end.
    bool seek(std::uint64_t pos);
    // Up to n bytes from the read position, fewer only at the end of the file. The
    // position does not move; the bytes stay valid until the next call.
    std::span<const std::uint8_t> peek(std::size_t n);
    // Moves forward by n bytes, at most to the end.
    void advance(std::size_t n);
    // Moves past the next occurrence of the byte; false when the file ends first.
    bool skipPast(std::uint8_t byte);

private:
    HostFile() = default;

    std::ifstream stream_;
    std::span<const std::uint8_t> memory_;  // the whole file when given as bytes
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
};

}  // namespace rvk
