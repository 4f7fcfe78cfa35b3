// Whole-file reading and crash-safe writing, and file-name comparison by the rule of
// the file system. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// Larger than any document or Zoom2 file can legitimately be; bigger files are refused
// before anything is allocated for them.
inline constexpr std::size_t kMaxFileBytes = 64u << 20;

// The bytes of a regular file; nothing when it cannot be read or exceeds the limit.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::size_t limit = kMaxFileBytes);

// Crash-safe writing of several files together: each is written to a temporary file in
// its target's folder; commit flushes them all to disk, then renames each over its
// target. A file that fails leaves its target as it was and no temporary behind.
class AtomicWriteBatch {
public:
    struct Staged {
        std::string target;
        std::string temp;
        int fd = -1;
    };

    AtomicWriteBatch() = default;
    AtomicWriteBatch(const AtomicWriteBatch&) = delete;
    AtomicWriteBatch& operator=(const AtomicWriteBatch&) = delete;
    // Temporaries never committed are removed.
    ~AtomicWriteBatch();

    // Writes the bytes to a temporary file for path; false when that fails.
    bool stage(const std::string& path, std::span<const std::uint8_t> bytes);
    // Flushes and renames every staged file; whether each succeeded, in staging order.
    std::vector<bool> commit();

private:
    std::vector<Staged> staged_;
};

// One file written the same way: the old file survives any failure.
bool WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes);

// Paths are UTF-8 strings here; these convert them for std::filesystem.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// A regular file (or a link to one) exists at path.
bool FileExists(const std::string& path);
// Removes a file; a missing file counts as removed. Folders are never removed.
bool RemoveFile(const std::string& path);
// The path without the extension of its last component (the dot included); a dot
// in a folder name is no extension.
std::string PathWithoutExtension(std::string_view path);
// The folder part of a path ("" when it has none).
std::string DirectoryOf(const std::string& path);
// Whether two names denote the same file under the file system's case rule: exact on
// case-sensitive systems, ignoring case on Windows.
bool SameFileName(const std::string& a, const std::string& b);

}  // namespace rvk
