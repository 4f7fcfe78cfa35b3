#include "app/recent_files.h"

namespace rvk {

void RecentFiles::add(const QString& path) {
    int from = kRecentCount - 1;
    for (int i = 0; i < kRecentCount; ++i) {
        if (at(i).compare(path, Qt::CaseInsensitive) == 0) {
            from = i;
            break;
        }
    }
    for (int b = from; b >= 1; --b)
        entries_[static_cast<std::size_t>(b)] = entries_[static_cast<std::size_t>(b - 1)];
    entries_[0] = path;
}

void RecentFiles::removeAt(int i) {
    if (i < 0 || i >= kRecentCount) return;
    for (int b = i; b + 1 < kRecentCount; ++b)
        entries_[static_cast<std::size_t>(b)] = entries_[static_cast<std::size_t>(b + 1)];
    entries_[kRecentCount - 1].clear();
}

}  // namespace rvk
