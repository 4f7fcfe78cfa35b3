// The seven most recently used document paths, newest first.
#pragma once

#include <QString>
#include <array>

#include "platform/settings_store.h"

namespace rvk {

class RecentFiles {
public:
    using Slots = std::array<QString, kRecentCount>;

    RecentFiles() = default;
    explicit RecentFiles(const Slots& entries) : entries_(entries) {}

    const Slots& entries() const { return entries_; }
    const QString& at(int i) const { return entries_[static_cast<std::size_t>(i)]; }

    // Puts path at the top. A path already listed (letter case ignored) moves up in
    // its new spelling; otherwise the oldest entry drops out.
    void add(const QString& path);
    // Removes entry i; the later entries move up and the last slot becomes empty.
    void removeAt(int i);

private:
    Slots entries_;
};

}  // namespace rvk
