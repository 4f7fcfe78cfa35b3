// A small file system of its own (tmpfs) mounted at a temporary folder, to be filled up
// or made read-only the way a real disk is: that stops root too, whom permission bits
// do not. Mounting needs the right to mount; without it (and on Windows) error() says
// why, for the test to skip with.
#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

namespace rvk::testing {

class SmallDisk {
public:
    explicit SmallDisk(std::size_t bytes) {
#ifdef _WIN32
        error_ = "Windows has no small file system to mount (" + std::to_string(bytes) + " bytes)";
#else
        char name[] = "/tmp/rvk-disk-XXXXXX";
        if (!mkdtemp(name)) {
            error_ = std::strerror(errno);
            return;
        }
        path_ = name;
        const std::string size = "size=" + std::to_string(bytes);
        if (mount("tmpfs", name, "tmpfs", 0, size.c_str()) != 0)
            error_ = std::string("cannot mount a small disk: ") + std::strerror(errno);
#endif
    }
    ~SmallDisk() {
        if (path_.empty()) return;
#ifndef _WIN32
        if (error_.empty()) umount2(path_.c_str(), MNT_DETACH);
#endif
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty when mounted.
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }

    // Takes every free byte with a file of its own; free() gives them back.
    void fill() {
#ifndef _WIN32
        const int fd = open(filler().c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0) return;
        const std::vector<char> block(4096, 'x');
        while (write(fd, block.data(), block.size()) > 0) {
        }
        // The last partial block.
        while (write(fd, block.data(), 1) > 0) {
        }
        close(fd);
#endif
    }
    void free() { std::filesystem::remove(filler()); }

    // False when the system refuses (a file open for writing keeps it writable).
    bool setReadOnly(bool readOnly) {
#ifdef _WIN32
        return !readOnly;
#else
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return mount("tmpfs", path_.c_str(), "tmpfs", flags, nullptr) == 0;
#endif
    }

private:
    std::string filler() const { return path_ + "/filler"; }

    std::string path_;
    std::string error_;
};

}  // namespace rvk::testing
