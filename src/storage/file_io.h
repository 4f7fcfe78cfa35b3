// Paths and whole-file reading, and file-name comparison by the rule of the file
// system. Paths are UTF-8. Writing is in save_set.h; file_io.cpp holds both, as they
// share the platform's file calls.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "storage/file_stamp.h"

namespace rvk {

// Larger than any document or Zoom2 file can legitimately be; bigger files are refused
// before anything is allocated for them.
inline constexpr std::size_t kMaxFileBytes = 64u << 20;

// A file operation that failed: the file and the system's reason. A file whose own
// permissions forbid writing is refused as write-protected, for root too; a journal
// that cannot be followed is damaged; a device, pipe or socket at a target is no file
// to replace.
struct FileError {
    std::string path;
    std::error_code code;
    bool writeProtected = false;
    bool damaged = false;
    bool notRegular = false;
    bool busy = false;  // another process kept the document's save lock
    bool operator==(const FileError&) const = default;
};
// Why, in words.
std::string Describe(const FileError& error);
// Whether the system refused because another program has the file open (Windows, where
// a file opened without sharing cannot be replaced).
bool InUseByAnotherProgram(const std::error_code& code);

// The file a path names once every symbolic link at its end is followed (relative
// targets against the link's folder); for a dangling link the file it would create.
// Other paths come back unchanged.
std::string ResolvedPath(const std::string& path);

// The bytes of a regular file; nothing when it cannot be read or exceeds the limit,
// with the reason in *why when given, and their stamp in *stamp. The stamp's time is
// taken before reading, so a file replaced meanwhile never looks unchanged later.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::size_t limit = kMaxFileBytes,
                                                       std::error_code* why = nullptr,
                                                       FileStamp* stamp = nullptr);

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
// The file name part of a path.
std::string FileNameOf(const std::string& path);
// Whether two names denote the same file under the file system's case rule: exact on
// case-sensitive systems, ignoring case on Windows.
bool SameFileName(const std::string& a, const std::string& b);

}  // namespace rvk
