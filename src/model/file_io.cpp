#include "model/file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rvk {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
int ProcessId() {
    return _getpid();
}
int OpenNew(const fs::path& p) {
    return _wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
bool WriteChunk(int fd, const std::uint8_t* data, std::size_t n, std::size_t& written) {
    const int r = _write(fd, data, static_cast<unsigned>(n));
    if (r < 0) return false;
    written = static_cast<std::size_t>(r);
    return true;
}
bool SyncFile(int fd) {
    return _commit(fd) == 0;
}
bool CloseFile(int fd) {
    return _close(fd) == 0;
}
void KeepModeOf(const fs::path&, int) {}
#else
int ProcessId() {
    return static_cast<int>(getpid());
}
int OpenNew(const fs::path& p) {
    return open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
bool WriteChunk(int fd, const std::uint8_t* data, std::size_t n, std::size_t& written) {
    const ssize_t r = write(fd, data, n);
    if (r < 0) {
        written = 0;
        return errno == EINTR;
    }
    written = static_cast<std::size_t>(r);
    return true;
}
bool SyncFile(int fd) {
    return fsync(fd) == 0;
}
bool CloseFile(int fd) {
    return close(fd) == 0;
}
// A replaced file keeps its permissions.
void KeepModeOf(const fs::path& target, int fd) {
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) fchmod(fd, st.st_mode & 07777);
}
#endif

#ifdef __linux__
// One syncfs per file system flushes every staged file at once.
bool SyncAll(const std::vector<AtomicWriteBatch::Staged>& files) {
    std::vector<dev_t> done;
    for (const auto& f : files) {
        struct stat st;
        if (fstat(f.fd, &st) != 0) return false;
        if (std::find(done.begin(), done.end(), st.st_dev) != done.end()) continue;
        if (syncfs(f.fd) != 0) return false;
        done.push_back(st.st_dev);
    }
    return true;
}
#else
bool SyncAll(const std::vector<AtomicWriteBatch::Staged>&) {
    return false;  // each file is flushed on its own
}
#endif

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kChunk = 1u << 24;
    std::size_t done = 0;
    while (done < bytes.size()) {
        std::size_t written = 0;
        if (!WriteChunk(fd, bytes.data() + done, std::min(kChunk, bytes.size() - done), written))
            return false;
        done += written;
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t limit) {
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    // Only regular files: a folder or a pipe has no bytes to give (and a pipe could block).
    if (!fs::is_regular_file(p, ec)) return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > limit) return std::nullopt;
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (in.gcount() != size) return std::nullopt;
    return bytes;
}

AtomicWriteBatch::~AtomicWriteBatch() {
    for (Staged& f : staged_) {
        if (f.fd >= 0) CloseFile(f.fd);
        std::error_code ec;
        fs::remove(PathFromUtf8(f.temp), ec);
    }
}

bool AtomicWriteBatch::stage(const std::string& path, std::span<const std::uint8_t> bytes) {
    static std::atomic<unsigned> counter{0};
    const fs::path target = PathFromUtf8(path);
    const fs::path dir = target.parent_path();
    const std::string name = Utf8FromPath(target.filename());
    if (name.empty()) return false;

    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir / PathFromUtf8("." + name + "." + std::to_string(ProcessId()) + "." +
                                  std::to_string(counter++) + ".tmp");
        fd = OpenNew(temp);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    KeepModeOf(target, fd);
    if (!WriteAll(fd, bytes)) {
        CloseFile(fd);
        std::error_code ec;
        fs::remove(temp, ec);
        return false;
    }
    staged_.push_back({path, Utf8FromPath(temp), fd});
    return true;
}

std::vector<bool> AtomicWriteBatch::commit() {
    // On disk before any rename: after a crash each file is the old or the whole new one.
    // One flush of the file system covers every staged file where the system offers it,
    // which costs one disk flush instead of one per file.
    const bool synced = SyncAll(staged_);
    std::vector<bool> results;
    results.reserve(staged_.size());
    for (Staged& f : staged_) {
        bool ok = (synced || SyncFile(f.fd));
        ok = CloseFile(f.fd) && ok;
        f.fd = -1;
        std::error_code ec;
        if (ok) {
            fs::rename(PathFromUtf8(f.temp), PathFromUtf8(f.target), ec);
            ok = !ec;
        }
        if (!ok) fs::remove(PathFromUtf8(f.temp), ec);
        results.push_back(ok);
    }
    staged_.clear();
    return results;
}

bool WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes) {
    AtomicWriteBatch batch;
    return batch.stage(path, bytes) && batch.commit().front();
}

fs::path PathFromUtf8(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(PathFromUtf8(path), ec);
}

bool RemoveFile(const std::string& path) {
    const fs::path p = PathFromUtf8(path);
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(p, ec);
    if (st.type() == fs::file_type::not_found) return true;
    if (ec || st.type() == fs::file_type::directory) return false;
    return fs::remove(p, ec) || !ec;
}

std::string PathWithoutExtension(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
#ifdef _WIN32
        if (c == '\\' || c == '/') break;
#else
        if (c == '/') break;
#endif
        if (c == '.') return std::string(path.substr(0, i - 1));
    }
    return std::string(path);
}

std::string DirectoryOf(const std::string& path) {
    return Utf8FromPath(PathFromUtf8(path).parent_path());
}

bool SameFileName(const std::string& a, const std::string& b) {
#ifdef _WIN32
    const std::wstring wa = PathFromUtf8(a).wstring();
    const std::wstring wb = PathFromUtf8(b).wstring();
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
#else
    return a == b;
#endif
}

}  // namespace rvk
