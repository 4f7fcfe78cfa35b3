#include "storage/file_io.h"
#include "storage/save_set.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <thread>

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
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rvk {

namespace fs = std::filesystem;

namespace {

std::error_code LastError() {
    return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

#ifdef _WIN32
long ProcessId() {
    return _getpid();
}
bool ProcessAlive(long pid) {
    if (pid <= 0) return false;
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
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
void KeepOwnerAndModeOf(const fs::path&, int) {}
void SyncFolder(const fs::path&) {}
std::error_code SystemError() {
    const DWORD code = GetLastError();
    if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL)
        return std::make_error_code(std::errc::no_space_on_device);
    if (code == ERROR_ACCESS_DENIED) return std::make_error_code(std::errc::permission_denied);
    if (code == ERROR_WRITE_PROTECT) return std::make_error_code(std::errc::read_only_file_system);
    return std::error_code(static_cast<int>(code), std::system_category());
}
std::optional<FileError> CheckFile(const std::string& path, const fs::path& p) {
    const DWORD attributes = GetFileAttributesW(p.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileError{path, std::make_error_code(std::errc::is_a_directory)};
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return FileError{path, std::make_error_code(std::errc::permission_denied), true};
    if (_waccess(p.c_str(), 2) != 0) return FileError{path, LastError()};
    // Replacing the file needs it free of programs that opened it without sharing its
    // removal; asked before anything is written.
    const HANDLE h =
        CreateFileW(p.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FileError{path, SystemError()};
    CloseHandle(h);
    return std::nullopt;
}
std::optional<FileError> CheckFolder(const std::string&, const fs::path&) {
    return std::nullopt;  // the folder's rights show only when the temporary is created
}
// MoveFileExW replaces the target in one step of the file system: NTFS journals the
// rename, so that a reader, and the disk after a crash, has the old file or the new one
// whole, never neither; MOVEFILE_WRITE_THROUGH returns only once the move is on disk.
// Unlike a POSIX rename it fails while another program has the target open without
// sharing its removal (Wine refuses any open target).
void RenameOver(const fs::path& from, const fs::path& to, std::error_code& ec) {
    ec.clear();
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ec = SystemError();
}
constexpr std::intptr_t kNoLock = -1;
std::intptr_t OpenLockFile(const fs::path& p, bool create, std::error_code& readOnly,
                           std::error_code& why) {
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                           create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND) {
        readOnly = SystemError();
        h = CreateFileW(p.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) why = SystemError();
    return h == INVALID_HANDLE_VALUE ? kNoLock : reinterpret_cast<std::intptr_t>(h);
}
// 1 locked, 0 held by another, -1 the system cannot lock it. One byte far beyond the
// text is locked, so that the text stays readable to others.
int TryLock(std::intptr_t handle, std::error_code& why) {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(reinterpret_cast<HANDLE>(handle),
                   LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return 1;
    if (GetLastError() == ERROR_LOCK_VIOLATION) return 0;
    why = SystemError();
    return -1;
}
std::string ReadLockText(std::intptr_t handle) {
    std::string text(4096, '\0');
    DWORD got = 0;
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    if (!SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr))
        got = 0;
    text.resize(got);
    return text;
}
std::optional<std::error_code> WriteLockText(std::intptr_t handle, std::string_view text) {
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    DWORD written = 0;
    if (SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_BEGIN) &&
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size() && SetEndOfFile(h))
        return std::nullopt;
    return SystemError();
}
void CloseLockFile(std::intptr_t handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));  // releases the lock
}
bool StillNamed(std::intptr_t, const fs::path&) {
    return true;
}
// An open file cannot be removed here without shutting out the processes waiting on it.
void RemoveLockFile(const fs::path&) {}
#else
long ProcessId() {
    return static_cast<long>(getpid());
}
bool ProcessAlive(long pid) {
    // 0 and negative numbers address process groups.
    if (pid <= 0 || static_cast<long>(static_cast<pid_t>(pid)) != pid) return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
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
// A replaced file keeps its owner (only root may give a file away), its group (where
// the user is a member) and its permissions. The owner goes first: a change of owner
// clears the set-id bits.
void KeepOwnerAndModeOf(const fs::path& target, int fd) {
    struct stat st;
    if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    [[maybe_unused]] const bool kept =
        fchown(fd, st.st_uid, st.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), st.st_gid) == 0;
    fchmod(fd, st.st_mode & 07777);
}
// Makes the renames and removals in a folder durable. Not every file system can flush
// a folder; the renames then are as durable as the system makes them.
void SyncFolder(const fs::path& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}
void RenameOver(const fs::path& from, const fs::path& to, std::error_code& ec) {
    fs::rename(from, to, ec);
}
std::optional<FileError> CheckFile(const std::string& path, const fs::path& p) {
    struct stat st;
    if (stat(p.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return FileError{path, LastError()};
    }
    if (S_ISDIR(st.st_mode))
        return FileError{path, std::make_error_code(std::errc::is_a_directory)};
    // Root may write anything; the file's own bits still say it is not to be replaced.
    if ((st.st_mode & 0222) == 0)
        return FileError{path, std::make_error_code(std::errc::permission_denied), true};
    if (access(p.c_str(), W_OK) != 0) return FileError{path, LastError()};
    return std::nullopt;
}
std::optional<FileError> CheckFolder(const std::string& path, const fs::path& folder) {
    if (access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0)
        return FileError{path, LastError()};
    return std::nullopt;
}
constexpr std::intptr_t kNoLock = -1;
std::intptr_t OpenLockFile(const fs::path& p, bool create, std::error_code& readOnly,
                           std::error_code& why) {
    int fd = open(p.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0666);
    if (fd < 0 && errno != ENOENT) {
        readOnly = LastError();
        fd = open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    }
    if (fd < 0) why = LastError();
    return fd;
}
// 1 locked, 0 held by another, -1 the system cannot lock it. flock, not fcntl: its locks
// belong to the open file, so two holders in one process exclude each other too.
int TryLock(std::intptr_t fd, std::error_code& why) {
    while (flock(static_cast<int>(fd), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return 0;
        why = LastError();
        return -1;
    }
    return 1;
}
std::string ReadLockText(std::intptr_t fd) {
    std::string text(4096, '\0');
    const ssize_t got = pread(static_cast<int>(fd), text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}
std::optional<std::error_code> WriteLockText(std::intptr_t fd, std::string_view text) {
    errno = 0;  // a short write sets none
    if (ftruncate(static_cast<int>(fd), 0) == 0 &&
        pwrite(static_cast<int>(fd), text.data(), text.size(), 0) ==
            static_cast<ssize_t>(text.size()))
        return std::nullopt;
    return std::error_code(errno != 0 ? errno : ENOSPC, std::generic_category());
}
void CloseLockFile(std::intptr_t fd) {
    close(static_cast<int>(fd));  // releases the lock
}
// The locked file is the one the name gives, not one its holder removed meanwhile.
bool StillNamed(std::intptr_t fd, const fs::path& p) {
    struct stat held, named;
    return fstat(static_cast<int>(fd), &held) == 0 && lstat(p.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}
void RemoveLockFile(const fs::path& p) {
    unlink(p.c_str());
}
#endif

#ifdef __linux__
// One syncfs per file system flushes every file at once.
bool SyncAll(const std::vector<int>& fds) {
    std::vector<dev_t> done;
    for (const int fd : fds) {
        struct stat st;
        if (fstat(fd, &st) != 0) return false;
        if (std::find(done.begin(), done.end(), st.st_dev) != done.end()) continue;
        if (syncfs(fd) != 0) return false;
        done.push_back(st.st_dev);
    }
    return true;
}
#else
bool SyncAll(const std::vector<int>&) {
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

SaveStepHook& Hook() {
    static SaveStepHook hook;
    return hook;
}

std::optional<std::error_code> Step(SaveStep step, const std::string& path) {
    if (!Hook()) return std::nullopt;
    if (const int err = Hook()(step, path)) return std::error_code(err, std::generic_category());
    return std::nullopt;
}

// Temporaries are named by SidecarPath(target, ".<process>.<counter>.tmp").
constexpr std::string_view kTempEnd = ".tmp";

struct TempName {
    std::string stem;  // the target's name, or its shortened form
    long pid = 0;
};

bool AllDigits(std::string_view s) {
    return !s.empty() && s.size() <= 18 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<TempName> ParseTempName(std::string_view name) {
    if (name.size() <= kTempEnd.size() || !name.ends_with(kTempEnd) || name.front() != '.')
        return std::nullopt;
    name.remove_suffix(kTempEnd.size());
    const std::size_t counterDot = name.rfind('.');
    if (counterDot == std::string_view::npos || !AllDigits(name.substr(counterDot + 1)))
        return std::nullopt;
    name = name.substr(0, counterDot);
    const std::size_t pidDot = name.rfind('.');
    if (pidDot == std::string_view::npos || pidDot == 0) return std::nullopt;
    const std::string_view pidText = name.substr(pidDot + 1);
    TempName parsed;
    if (!AllDigits(pidText) ||
        std::from_chars(pidText.data(), pidText.data() + pidText.size(), parsed.pid).ec !=
            std::errc{})
        return std::nullopt;
    parsed.stem = std::string(name.substr(1, pidDot - 1));
    return parsed;
}

std::size_t NameLimit(const fs::path& folder) {
#ifdef _WIN32
    (void)folder;
    return 255;
#else
    const long limit = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
#endif
}

// "~" and 16 hex digits of a 64-bit FNV-1a hash end a shortened name.
constexpr std::size_t kHashDigits = 16;

std::string NameHash(std::string_view name) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : name) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    std::string hex(kHashDigits, '0');
    for (std::size_t i = kHashDigits; i-- > 0; h >>= 4) hex[i] = "0123456789abcdef"[h & 15];
    return hex;
}

// Whether a side file's stem (its name without the leading dot and the suffix) was
// made for the file called `name`.
bool StemOf(std::string_view stem, const std::string& name) {
    if (SameFileName(std::string(stem), name)) return true;
    if (stem.size() <= kHashDigits || stem[stem.size() - kHashDigits - 1] != '~') return false;
    const std::string_view head = stem.substr(0, stem.size() - kHashDigits - 1);
    return head.size() < name.size() && name.starts_with(head) &&
           stem.substr(stem.size() - kHashDigits) == NameHash(name);
}

bool Named(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameFileName(n, name); });
}

// A plain name within its folder: no folder part, no "." or "..".
bool PlainName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
#ifdef _WIN32
    return name.find_first_of("/\\:") == std::string_view::npos;
#else
    return name.find('/') == std::string_view::npos;
#endif
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found;
}

// A device, pipe or socket at p, also behind links: a rename would put a file in its
// place, and whatever reads or writes it expects no file.
std::optional<FileError> NotRegular(const std::string& path, const fs::path& p) {
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (ec || !fs::exists(st) || fs::is_regular_file(st) || fs::is_directory(st))
        return std::nullopt;
    return FileError{path, std::make_error_code(std::errc::invalid_argument), false, false, true};
}

// The journal lists names within its folder, every field ended by a NUL:
// the signature, then "R" temporary target or "D" target per step, then "E".
constexpr std::string_view kJournalSignature = "RVK save journal 1";

struct JournalStep {
    bool rename = false;
    std::string temp;
    std::string target;
};

std::optional<std::vector<JournalStep>> ParseJournal(std::string_view bytes) {
    std::vector<std::string_view> fields;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\0');
        if (end == std::string_view::npos) return std::nullopt;  // cut short
        fields.push_back(bytes.substr(0, end));
        bytes.remove_prefix(end + 1);
    }
    if (fields.size() < 2 || fields.front() != kJournalSignature || fields.back() != "E")
        return std::nullopt;
    std::vector<JournalStep> steps;
    for (std::size_t i = 1; i + 1 < fields.size();) {
        if (fields[i] == "R" && i + 3 < fields.size()) {
            steps.push_back({true, std::string(fields[i + 1]), std::string(fields[i + 2])});
            i += 3;
        } else if (fields[i] == "D" && i + 2 < fields.size()) {
            steps.push_back({false, {}, std::string(fields[i + 1])});
            i += 2;
        } else {
            return std::nullopt;
        }
    }
    return steps;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::size_t limit,
                                                       std::error_code* why, FileStamp* stamp) {
    std::error_code ignored;
    std::error_code& reason = why ? *why : ignored;
    const fs::path p = PathFromUtf8(path);
    // Only regular files: a folder or a pipe has no bytes to give (and a pipe could block).
    const fs::file_status st = fs::status(p, reason);
    if (reason) return std::nullopt;
    if (!fs::is_regular_file(st)) {
        reason = std::make_error_code(fs::is_directory(st) ? std::errc::is_a_directory
                                                           : std::errc::invalid_argument);
        return std::nullopt;
    }
    const std::optional<std::int64_t> time = ModificationTime(path);
    errno = 0;
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        reason = LastError();
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > limit) {
        reason = std::make_error_code(std::errc::file_too_large);
        return std::nullopt;
    }
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (in.gcount() != size) {
        reason = std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    if (stamp) *stamp = FileStamp{bytes.size(), time.value_or(0), ContentHash(bytes)};
    return bytes;
}

std::optional<FileError> CheckWritable(const std::string& path) {
    const fs::path p = PathFromUtf8(path);
    if (auto error = NotRegular(path, p)) return error;
    if (auto error = CheckFile(path, p)) return error;
    return CheckFolder(path, p.parent_path());
}

SaveTransaction::SaveTransaction(std::string journalPath) : journal_(std::move(journalPath)) {}

SaveTransaction::~SaveTransaction() {
    discard();
}

void SaveTransaction::discard() {
    for (Staged& f : staged_) {
        if (f.fd >= 0) CloseFile(f.fd);
        std::error_code ec;
        fs::remove(PathFromUtf8(f.temp), ec);
    }
    staged_.clear();
    removals_.clear();
}

namespace {

// Creates a temporary beside target; -1 with errno on failure.
int CreateTemporary(const fs::path& target, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = PathFromUtf8(SidecarPath(Utf8FromPath(target), "." + std::to_string(ProcessId()) +
                                                                  "." + std::to_string(counter++) +
                                                                  std::string(kTempEnd)));
        const int fd = OpenNew(temp);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool SaveTransaction::write(const std::string& target, std::span<const std::uint8_t> bytes) {
    if (error_) return false;
    const fs::path p = PathFromUtf8(target);
    if (!PlainName(Utf8FromPath(p.filename()))) {
        error_ = FileError{target, std::make_error_code(std::errc::is_a_directory)};
        return false;
    }
    if (auto failed = Step(SaveStep::kWrite, target)) {
        error_ = FileError{target, *failed};
        return false;
    }
    if ((error_ = NotRegular(target, p))) return false;
    fs::path temp;
    const int fd = CreateTemporary(p, temp);
    if (fd < 0) {
        error_ = FileError{target, LastError()};
        return false;
    }
    staged_.push_back({target, Utf8FromPath(temp), fd});
    KeepOwnerAndModeOf(p, fd);
    errno = 0;
    if (!WriteAll(fd, bytes)) {
        error_ = FileError{target, LastError()};
        return false;
    }
    return true;
}

void SaveTransaction::remove(const std::string& target) {
    removals_.push_back(target);
}

std::optional<FileError> SaveTransaction::putJournalInPlace() {
    const fs::path journal = PathFromUtf8(journal_);
    const fs::path folder = journal.parent_path();
    std::string text(kJournalSignature);
    text += '\0';
    const auto add = [&](std::string_view field) {
        text += field;
        text += '\0';
    };
    for (const Staged& f : staged_) {
        const fs::path target = PathFromUtf8(f.target);
        if (target.parent_path() != folder)
            return FileError{f.target, std::make_error_code(std::errc::invalid_argument)};
        add("R");
        add(Utf8FromPath(PathFromUtf8(f.temp).filename()));
        add(Utf8FromPath(target.filename()));
    }
    for (const std::string& name : removals_) {
        if (PathFromUtf8(name).parent_path() != folder)
            return FileError{name, std::make_error_code(std::errc::invalid_argument)};
        add("D");
        add(Utf8FromPath(PathFromUtf8(name).filename()));
    }
    add("E");
    if (auto failed = Step(SaveStep::kJournal, journal_)) return FileError{journal_, *failed};
    fs::path temp;
    const int fd = CreateTemporary(journal, temp);
    if (fd < 0) return FileError{journal_, LastError()};
    // Staged last, so the one flush of all files covers it and a failure removes it.
    staged_.push_back({journal_, Utf8FromPath(temp), fd});
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    errno = 0;
    if (!WriteAll(fd, std::span(data, text.size()))) return FileError{journal_, LastError()};
    return std::nullopt;
}

std::optional<FileError> SaveTransaction::commit() {
    const auto fail = [this](FileError e) {
        discard();
        error_ = std::move(e);
        return error_;
    };
    if (error_) return fail(*error_);
    const std::size_t renames = staged_.size();
    const bool journaled = !journal_.empty() && renames + removals_.size() > 1;
    if (journaled)
        if (auto e = putJournalInPlace()) return fail(*e);

    // Every file on disk before the first rename. One flush of the file system covers
    // them all where the system offers it: one disk flush instead of one per file.
    std::vector<int> fds;
    for (const Staged& f : staged_) fds.push_back(f.fd);
    const bool synced = SyncAll(fds);
    std::optional<FileError> flushError;
    for (Staged& f : staged_) {
        errno = 0;
        const bool ok = synced || SyncFile(f.fd);
        if (!ok && !flushError) flushError = FileError{f.target, LastError()};
        if (!CloseFile(f.fd) && !flushError) flushError = FileError{f.target, LastError()};
        f.fd = -1;
    }
    if (flushError) return fail(*flushError);

    const fs::path folder = PathFromUtf8(journal_).parent_path();
    std::error_code ec;
    if (journaled) {
        const Staged journal = staged_.back();
        RenameOver(PathFromUtf8(journal.temp), PathFromUtf8(journal.target), ec);
        if (ec) return fail({journal_, ec});
        staged_.pop_back();
        SyncFolder(folder);
    }
    // From here on the journal finishes what a failure interrupts; the files it still
    // needs stay.
    std::vector<Staged> pending = std::move(staged_);
    staged_.clear();
    for (std::size_t k = 0; k < pending.size(); ++k) {
        const Staged& f = pending[k];
        if (auto failed = Step(SaveStep::kRename, f.target))
            ec = *failed;
        else
            RenameOver(PathFromUtf8(f.temp), PathFromUtf8(f.target), ec);
        if (!ec) continue;
        error_ = FileError{f.target, ec};
        // Nothing replaced yet: without its journal the save is undone as a whole. The
        // journal goes first, as it takes a missing temporary for one already renamed.
        std::error_code ignored;
        if (k == 0 && (!journaled || fs::remove(PathFromUtf8(journal_), ignored))) {
            staged_ = std::move(pending);
            discard();
        }
        return error_;
    }
    for (const std::string& name : removals_) {
        if (auto failed = Step(SaveStep::kRemove, name)) {
            error_ = FileError{name, *failed};
            return error_;
        }
        if (!RemoveFile(name)) {
            error_ = FileError{name, std::make_error_code(std::errc::permission_denied)};
            return error_;
        }
    }
    removals_.clear();
    if (journaled) {
        SyncFolder(folder);
        if (auto failed = Step(SaveStep::kFinish, journal_))
            ec = *failed;
        else
            fs::remove(PathFromUtf8(journal_), ec);
        if (ec) error_ = FileError{journal_, ec};
    }
    return error_;
}

std::string SidecarPath(const std::string& path, std::string_view suffix) {
    const std::string name = FileNameOf(path);
    std::string side = "." + name + std::string(suffix);
    const std::size_t limit = NameLimit(PathFromUtf8(path).parent_path());
    if (side.size() > limit) {
        const std::size_t fixed = 1 + suffix.size() + 1 + kHashDigits;
        std::size_t keep = std::min(limit > fixed ? limit - fixed : 0, name.size() - 1);
        // Whole characters only: a cut UTF-8 sequence would be no valid name.
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
        side = "." + name.substr(0, keep) + "~" + NameHash(name) + std::string(suffix);
    }
    return path.substr(0, path.size() - name.size()) + side;
}

namespace {

std::atomic<std::int64_t> lockWaitMs{10000};

}  // namespace

std::chrono::milliseconds SaveLockWait() {
    return std::chrono::milliseconds(lockWaitMs.load());
}

void SetSaveLockWait(std::chrono::milliseconds wait) {
    lockWaitMs = wait.count();
}

std::unique_ptr<FileLock> FileLock::Take(const std::string& path, bool create, Outcome* outcome,
                                         std::error_code* why, std::string* heldText) {
    const fs::path p = PathFromUtf8(path);
    Outcome ignored;
    Outcome& result = outcome ? *outcome : ignored;
    // A few rounds: each lost one means a holder removed the file just then.
    for (int round = 0; round < 8; ++round) {
        std::error_code readOnly;
        std::error_code failure;
        const std::intptr_t handle = OpenLockFile(p, create, readOnly, failure);
        if (handle == kNoLock) {
            result = Outcome::kFailed;
            if (why) *why = failure;
            return nullptr;
        }
        const int got = TryLock(handle, failure);
        if (got == 1 && StillNamed(handle, p)) {
            result = Outcome::kLocked;
            return std::unique_ptr<FileLock>(new FileLock(path, handle, readOnly));
        }
        if (got == 0 && heldText) *heldText = ReadLockText(handle);
        CloseLockFile(handle);
        if (got == 1) continue;
        result = got == 0 ? Outcome::kHeld : Outcome::kFailed;
        if (why) *why = failure;
        return nullptr;
    }
    result = Outcome::kHeld;
    return nullptr;
}

FileLock::~FileLock() {
    if (remove_) RemoveLockFile(PathFromUtf8(path_));
    CloseLockFile(handle_);
}

std::optional<FileError> FileLock::describe(std::string_view text) {
    if (readOnly_) return FileError{path_, readOnly_};
    if (auto failed = WriteLockText(handle_, text)) return FileError{path_, *failed};
    return std::nullopt;
}

SaveLock::SaveLock(const std::string& documentPath) {
    const std::string path = SidecarPath(documentPath, kSaveLockSuffix);
    const auto deadline = std::chrono::steady_clock::now() + SaveLockWait();
    auto pause = std::chrono::milliseconds(1);
    while (true) {
        FileLock::Outcome outcome;
        lock_ = FileLock::Take(path, true, &outcome);
        if (lock_) {
            lock_->removeOnRelease();
            return;
        }
        if (outcome == FileLock::Outcome::kFailed) return;  // the system cannot lock here
        if (std::chrono::steady_clock::now() >= deadline) {
            busy_ = true;
            return;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

SaveLock::~SaveLock() = default;

std::optional<FileError> CompleteJournal(const std::string& journalPath,
                                         const std::vector<std::string>& names,
                                         const std::string& damagedPath, bool* setAside) {
    const fs::path journal = PathFromUtf8(journalPath);
    if (!Exists(journal)) return std::nullopt;
    std::error_code why;
    const auto bytes = ReadFileBytes(journalPath, 1u << 20, &why);
    if (!bytes) return FileError{journalPath, why};
    const auto steps =
        ParseJournal(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    const std::string journalName = Utf8FromPath(journal.filename());
    const auto acceptable = [&](const JournalStep& s) {
        if (!PlainName(s.target) || SameFileName(s.target, journalName) || !Named(names, s.target))
            return false;
        if (!s.rename) return true;
        const auto temp = ParseTempName(s.temp);
        return PlainName(s.temp) && temp && StemOf(temp->stem, s.target);
    };
    if (!steps) {
        const fs::path aside = PathFromUtf8(damagedPath);
        std::error_code ec;
        if (Exists(aside))
            return FileError{damagedPath, std::make_error_code(std::errc::file_exists)};
        fs::rename(journal, aside, ec);
        if (ec) return FileError{journalPath, ec};
        SyncFolder(journal.parent_path());
        *setAside = true;
        return std::nullopt;
    }
    if (!std::all_of(steps->begin(), steps->end(), acceptable))
        return FileError{journalPath, std::make_error_code(std::errc::invalid_argument), false,
                         true};

    const fs::path folder = journal.parent_path();
    for (const JournalStep& s : *steps) {
        const fs::path target = folder / PathFromUtf8(s.target);
        std::error_code ec;
        if (s.rename) {
            // A temporary that is gone was renamed before the interruption.
            const fs::path temp = folder / PathFromUtf8(s.temp);
            if (!Exists(temp)) continue;
            if (auto failed = Step(SaveStep::kRename, Utf8FromPath(target)))
                ec = *failed;
            else
                RenameOver(temp, target, ec);
        } else if (auto failed = Step(SaveStep::kRemove, Utf8FromPath(target))) {
            ec = *failed;
        } else if (!RemoveFile(Utf8FromPath(target))) {
            ec = std::make_error_code(std::errc::permission_denied);
        }
        if (ec) return FileError{Utf8FromPath(target), ec};
    }
    SyncFolder(folder);
    std::error_code ec;
    if (auto failed = Step(SaveStep::kFinish, journalPath))
        ec = *failed;
    else
        fs::remove(journal, ec);
    if (ec) return FileError{journalPath, ec};
    return std::nullopt;
}

void RemoveLeftTemporaries(const std::string& folder, const std::vector<std::string>& names) {
    std::error_code ec;
    const fs::path dir = folder.empty() ? fs::path(".") : PathFromUtf8(folder);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto temp = ParseTempName(Utf8FromPath(it->path().filename()));
        if (!temp || std::none_of(names.begin(), names.end(), [&](const std::string& name) {
                return StemOf(temp->stem, name);
            }))
            continue;
        if (temp->pid != ProcessId() && ProcessAlive(temp->pid)) continue;  // a save in progress
        std::error_code typeError;
        if (it->symlink_status(typeError).type() == fs::file_type::directory) continue;
        std::error_code ignored;
        fs::remove(it->path(), ignored);
    }
}

void SetSaveStepHook(SaveStepHook hook) {
    Hook() = std::move(hook);
}

bool WriteFileAtomic(const std::string& path, std::span<const std::uint8_t> bytes,
                     std::optional<FileError>* why) {
    SaveTransaction transaction({});
    transaction.write(ResolvedPath(path), bytes);
    const std::optional<FileError> error = transaction.commit();
    if (why) *why = error;
    return !error;
}

std::string ResolvedPath(const std::string& path) {
    // As many levels as the system itself follows before it gives up (ELOOP).
    constexpr int kMaxLinks = 40;
    fs::path p = PathFromUtf8(path);
    for (int level = 0; level < kMaxLinks; ++level) {
        std::error_code ec;
        // A link to a device, pipe or socket stays, to be refused as such: the system
        // follows names like /proc/self/fd/1 whose text leads nowhere.
        if (!fs::is_symlink(fs::symlink_status(p, ec)) || NotRegular(path, p)) break;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec || target.empty()) break;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    return Utf8FromPath(p);
}

bool InUseByAnotherProgram(const std::error_code& code) {
#ifdef _WIN32
    return code.category() == std::system_category() &&
           (code.value() == ERROR_SHARING_VIOLATION || code.value() == ERROR_LOCK_VIOLATION);
#else
    (void)code;
    return false;
#endif
}

std::string Describe(const FileError& error) {
    if (error.writeProtected) return "the file is write-protected";
    if (InUseByAnotherProgram(error.code)) return "another program has the file open";
    if (error.damaged) return "the file is damaged";
    if (error.notRegular) return "it is not a regular file";
    return error.code.message();
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

std::string FileNameOf(const std::string& path) {
    return Utf8FromPath(PathFromUtf8(path).filename());
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
