// What a file held when the program read or wrote it, to tell later whether another
// program has changed it since.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace rvk {

// Size, modification time and a hash of the bytes: times can tie, so the bytes count too.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t time = 0;  // nanoseconds, as fine as the file system keeps them
    std::uint64_t hash = 0;
    bool operator==(const FileStamp&) const = default;
};

// FNV-1a: enough to tell a file cut short or overwritten from the one remembered.
std::uint64_t ContentHash(std::span<const std::uint8_t> bytes);

// The modification time of the file at path; nothing when it cannot be examined.
std::optional<std::int64_t> ModificationTime(const std::string& path);
// The stamp of the file at path as it is now; nothing when it is missing or unreadable.
std::optional<FileStamp> StampOnDisk(const std::string& path);

// The files of a document (the document and its companions) by path, each with its stamp.
using DiskState = std::map<std::string, FileStamp>;

}  // namespace rvk
