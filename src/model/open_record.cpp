#include "model/open_record.h"

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <utility>

#include "model/file_io.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <process.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rvk {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

std::string FormatOpenRecord(const OpenRecordInfo& info) {
    return info.user + "\n" + info.host + "\n" + std::to_string(info.process) + "\n" +
           std::to_string(info.since) + "\n";
}

OpenRecordInfo ParseOpenRecord(const std::string& text) {
    OpenRecordInfo info;
    std::istringstream in(text);
    std::string process;
    std::string since;
    std::getline(in, info.user);
    std::getline(in, info.host);
    std::getline(in, process);
    std::getline(in, since);
    info.process = std::strtoll(process.c_str(), nullptr, 10);
    info.since = std::strtoll(since.c_str(), nullptr, 10);
    return info;
}

std::string OpenRecordPath(const std::string& documentPath) {
    return SidecarPath(documentPath, ".open");
}

OpenRecord::OpenRecord(OpenRecord&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, kNone)),
      holder_(std::move(other.holder_)) {}

OpenRecord& OpenRecord::operator=(OpenRecord&& other) noexcept {
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, kNone);
        holder_ = std::move(other.holder_);
    }
    return *this;
}

OpenRecord::~OpenRecord() {
    release();
}

#ifdef _WIN32

OpenRecordInfo ThisEditor() {
    return {Environment("USERNAME"), Environment("COMPUTERNAME"), _getpid(),
            std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count()};
}

namespace {

// One byte far beyond the text is locked, so that the text stays readable to others.
bool LockFar(HANDLE h) {
    OVERLAPPED at{};
    at.OffsetHigh = 0x7FFFFFFF;
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

std::string ReadAll(HANDLE h) {
    std::string text(4096, '\0');
    DWORD got = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    if (!ReadFile(h, text.data(), static_cast<DWORD>(text.size()), &got, nullptr)) got = 0;
    text.resize(got);
    return text;
}

}  // namespace

OpenRecord OpenRecord::Take(const std::string& documentPath) {
    OpenRecord record;
    record.path_ = OpenRecordPath(documentPath);
    HANDLE h = CreateFileW(PathFromUtf8(record.path_).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return record;
    if (!LockFar(h)) {
        if (GetLastError() == ERROR_LOCK_VIOLATION) record.holder_ = ParseOpenRecord(ReadAll(h));
        CloseHandle(h);
        return record;
    }
    const std::string text = FormatOpenRecord(ThisEditor());
    DWORD put = 0;
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    record.handle_ = h;
    return record;
}

void OpenRecord::release() {
    if (handle_ == kNone) return;
    // Deleted while still locked: the name goes once the handle is closed.
    DeleteFileW(PathFromUtf8(path_).c_str());
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = kNone;
}

#else

OpenRecordInfo ThisEditor() {
    std::string user = Environment("USER");
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name) user = entry->pw_name;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return {user, host, static_cast<std::int64_t>(getpid()),
            std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count()};
}

namespace {

std::string ReadAll(int fd) {
    std::string text(4096, '\0');
    const ssize_t got = pread(fd, text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

// The open file is still the one the name gives: an editor that ended may have removed
// it between our open and our lock.
bool StillNamed(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && stat(PathFromUtf8(path).c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

OpenRecord OpenRecord::Take(const std::string& documentPath) {
    OpenRecord record;
    record.path_ = OpenRecordPath(documentPath);
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = open(PathFromUtf8(record.path_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) return record;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) record.holder_ = ParseOpenRecord(ReadAll(fd));
            close(fd);
            return record;
        }
        if (!StillNamed(fd, record.path_)) {
            close(fd);
            continue;
        }
        // Should the text not be written, the lock still keeps the record; a second
        // editor then names no one.
        const std::string text = FormatOpenRecord(ThisEditor());
        const bool described = ftruncate(fd, 0) == 0 && pwrite(fd, text.data(), text.size(), 0) ==
                                                            static_cast<ssize_t>(text.size());
        static_cast<void>(described);
        record.handle_ = fd;
        return record;
    }
    return record;
}

void OpenRecord::release() {
    if (handle_ == kNone) return;
    // Removed while still locked, so that no one takes over a name about to go.
    unlink(PathFromUtf8(path_).c_str());
    close(handle_);
    handle_ = kNone;
}

#endif

}  // namespace rvk
