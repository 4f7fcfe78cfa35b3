#include "records/color_count.h"

#include <array>
#include <utility>

namespace rvk {

namespace {

// Sorts by bytes firstByte..7 of the keys, the least significant first. A byte that
// every key shares needs no pass, which spares most passes for real drawings.
void RadixSort(std::vector<std::uint64_t>& keys, int firstByte) {
    std::vector<std::uint64_t> sorted(keys.size());
    for (int byte = firstByte; byte < 8; ++byte) {
        const int shift = 8 * byte;
        std::array<std::size_t, 256> starts{};
        for (const std::uint64_t key : keys) ++starts[(key >> shift) & 0xFF];
        if (keys.empty() || starts[(keys.front() >> shift) & 0xFF] == keys.size()) continue;
        std::size_t next = 0;
        for (std::size_t& start : starts) next += std::exchange(start, next);
        for (const std::uint64_t key : keys) sorted[starts[(key >> shift) & 0xFF]++] = key;
        keys.swap(sorted);
    }
}

}  // namespace

std::vector<ColorUse> CountColors(const VehicleRec& rec, bool zoom2) {
    // Each run of one value in a row as value << 32 | length: drawings are runs, so
    // there are far fewer of them than pixels.
    std::vector<std::uint64_t> runs;
    const auto add = [&runs](PixelValue value, int count) {
        runs.push_back(std::uint64_t{value} << 32 | static_cast<std::uint32_t>(count));
    };
    for (int view = 0; view < rec.viewCount(); ++view) {
        const ConstPlaneRef plane = PlaneOf(&rec, view, zoom2);
        const ViewSize size = ViewGeometry(&rec, view, zoom2);
        if (size.width <= 0 || size.height <= 0) continue;
        if (!plane.plane->allocated()) {
            add(kTransparent, size.width * size.height);
            continue;
        }
        const int top = RowOffset(rec, view, zoom2);
        for (int y = top; y < top + size.height; ++y) {
            const PixelValue* row = plane.plane->data() + y * plane.width;
            int start = 0;
            for (int x = 1; x <= size.width; ++x) {
                if (x < size.width && row[x] == row[start]) continue;
                add(row[start], x - start);
                start = x;
            }
        }
    }
    RadixSort(runs, 4);

    // One key per value: type, then the count's complement (most used first), then the
    // value. A count never reaches 2^28, the pixels of all planes being far fewer.
    std::vector<std::uint64_t> keys;
    for (std::size_t i = 0; i < runs.size();) {
        const auto value = static_cast<PixelValue>(runs[i] >> 32);
        std::uint32_t count = 0;
        for (; i < runs.size() && runs[i] >> 32 == value; ++i)
            count += static_cast<std::uint32_t>(runs[i]);
        keys.push_back(std::uint64_t(ColorTypeOf(value)) << 60 |
                       std::uint64_t(~count & 0x0FFFFFFFu) << 32 | value);
    }
    RadixSort(keys, 0);
    std::vector<ColorUse> colors;
    colors.reserve(keys.size());
    for (const std::uint64_t key : keys)
        colors.push_back({static_cast<PixelValue>(key),
                          ~static_cast<std::uint32_t>(key >> 32) & 0x0FFFFFFFu});
    return colors;
}

}  // namespace rvk
