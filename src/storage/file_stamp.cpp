#include "storage/file_stamp.h"

#include <chrono>
#include <filesystem>

#include "storage/file_io.h"

namespace rvk {

std::uint64_t ContentHash(std::span<const std::uint8_t> bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(PathFromUtf8(path), ec);
    if (ec) return std::nullopt;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

std::optional<FileStamp> StampOnDisk(const std::string& path) {
    FileStamp stamp;
    if (!ReadFileBytes(path, kMaxFileBytes, nullptr, &stamp)) return std::nullopt;
    return stamp;
}

}  // namespace rvk
