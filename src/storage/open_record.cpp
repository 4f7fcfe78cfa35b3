#include "storage/open_record.h"

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "storage/file_io.h"

#ifdef _WIN32
#include <process.h>
#else
#include <pwd.h>
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

OpenRecord OpenRecord::Take(const std::string& documentPath) {
    OpenRecord record;
    FileLock::Outcome outcome;
    std::string held;
    record.lock_ = FileLock::Take(OpenRecordPath(documentPath), true, &outcome, nullptr, &held);
    if (record.lock_) {
        record.lock_->removeOnRelease();
        // Should the text not be written, the lock still keeps the record; a second
        // editor then names no one.
        static_cast<void>(record.lock_->describe(FormatOpenRecord(ThisEditor())));
    } else if (outcome == FileLock::Outcome::kHeld) {
        record.holder_ = ParseOpenRecord(held);
    }
    return record;
}

#ifdef _WIN32

OpenRecordInfo ThisEditor() {
    return {Environment("USERNAME"), Environment("COMPUTERNAME"), _getpid(),
            std::chrono::duration_cast<std::chrono::seconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count()};
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

#endif

}  // namespace rvk
