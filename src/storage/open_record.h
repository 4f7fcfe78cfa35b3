// The record an editor keeps beside a document while it has the document open, so that
// a second editor opening it can say who has it. The record holds an advisory lock that
// the system releases when its process ends: a record without it was left by an editor
// that died, and is taken over.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {

// Who keeps a record: user name, machine, process and since when (seconds since 1970).
struct OpenRecordInfo {
    std::string user;
    std::string host;
    std::int64_t process = 0;
    std::int64_t since = 0;
    bool operator==(const OpenRecordInfo&) const = default;
};

// The record's text, and back; a damaged text gives what could be read.
std::string FormatOpenRecord(const OpenRecordInfo& info);
OpenRecordInfo ParseOpenRecord(const std::string& text);
// This process, now.
OpenRecordInfo ThisEditor();

class OpenRecord {
public:
    // Takes the record of the document at documentPath for this process. When a live
    // editor holds it, nothing is taken and holder() names that editor. Where no record
    // can be kept (a folder without write permission), the result holds none.
    static OpenRecord Take(const std::string& documentPath);

    bool held() const { return lock_ != nullptr; }
    const std::optional<OpenRecordInfo>& holder() const { return holder_; }

private:
    std::unique_ptr<FileLock> lock_;  // removes the record when it goes
    std::optional<OpenRecordInfo> holder_;
};

// Where the record of the document at documentPath is kept.
std::string OpenRecordPath(const std::string& documentPath);

}  // namespace rvk
