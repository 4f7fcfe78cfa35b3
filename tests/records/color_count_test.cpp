#include "records/color_count.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace rvk {
namespace {

TEST(CountColors, VisibleAreaOfTheShownViewsSortedByTypeThenUse) {
    VehicleRec rec;
    rec.Props &= ~kExtraViews;  // six views
    rec.HeightS = 10;           // side views show plane rows 4..13
    Plane& right = rec.Planes[0];
    for (int x = 0; x < 3; ++x) right.set(x, 13, 0x000000FF);
    right.set(5, 4, 0x63123456);  // no type of the twelve: counts as Normal
    right.set(6, 4, 0x63123456);
    right.set(0, 3, 0x00ABCDEF);  // above the visible rows
    rec.Planes[2].set(7, 15, 0x0000FF00);
    rec.Planes[3].set(0, 0, 0x51000040);
    rec.Planes[5].set(1, 1, 0x51000040);
    rec.Planes[5].set(2, 1, kHalfTransparent);
    rec.Planes[6].set(0, 0, 0x40FFFFFF);  // an extra view, not shown
    rec.Zoom2Planes[1].set(0, 27, 0x64000000);

    // Sides 2 x 32 x 10, roof halves 2 x 8 x 16, end views 2 x 8 x 9.
    const std::uint32_t area = 640 + 256 + 144;
    const std::vector<ColorUse> expected{{0x000000FF, 3},
                                         {0x63123456, 2},
                                         {0x0000FF00, 1},
                                         {kTransparent, area - 9},
                                         {kHalfTransparent, 1},
                                         {0x51000040, 2}};
    EXPECT_EQ(CountColors(rec, false), expected);

    rec.Props |= kExtraViews;
    std::vector<ColorUse> withExtra = CountColors(rec, false);
    ASSERT_EQ(withExtra.size(), 7u);
    EXPECT_EQ(withExtra[3], (ColorUse{kTransparent, area + 144 - 10}));
    EXPECT_EQ(withExtra[5], (ColorUse{0x40FFFFFF, 1}));

    // Zoom2: sides 2 x 64 x 28, roof halves 2 x 16 x 32, end views 4 x 16 x 18.
    const std::vector<ColorUse> zoom2{{kTransparent, 3584 + 1024 + 1152 - 1}, {0x64000000, 1}};
    EXPECT_EQ(CountColors(rec, true), zoom2);
}

// Against a plain count of every shown pixel, with few and with very many colours.
TEST(CountColors, MatchesAPlainCountOfRandomVehicles) {
    std::mt19937 rng(11);
    for (int round = 0; round < 60; ++round) {
        VehicleRec rec;
        rec.Length = static_cast<std::uint16_t>(1 + rng() % 256);
        rec.HeightS = static_cast<std::uint16_t>(rng() % 15);
        rec.Width = static_cast<std::uint16_t>(1 + rng() % 16);
        rec.HeightF = static_cast<std::uint16_t>(1 + rng() % 14);
        rec.Zoom2HeightS = static_cast<std::uint16_t>(rng() % 29);
        rec.Zoom2Width = static_cast<std::uint16_t>(1 + rng() % 32);
        rec.Zoom2HeightF = static_cast<std::uint16_t>(1 + rng() % 28);
        if (rng() % 2) rec.Props ^= kExtraViews;
        const bool zoom2 = rng() % 2;
        const auto pool = static_cast<std::uint32_t>(round % 3 == 0 ? 100000 : 1 + rng() % 40);
        for (Plane& plane : zoom2 ? rec.Zoom2Planes : rec.Planes) {
            if (rng() % 4 == 0) continue;  // never written
            PixelValue* d = plane.mutableData();
            for (std::size_t i = 0; i < plane.size(); ++i)
                d[i] = i > 0 && rng() % 3 != 0 ? d[i - 1]
                                               : static_cast<PixelValue>(rng() % pool * 2654435761u);
        }
        std::map<PixelValue, std::uint32_t> plain;
        for (int view = 0; view < rec.viewCount(); ++view) {
            const ConstPlaneRef plane = PlaneOf(static_cast<const VehicleRec*>(&rec), view, zoom2);
            const ViewSize size = ViewGeometry(&rec, view, zoom2);
            const int top = RowOffset(rec, view, zoom2);
            for (int y = top; y < top + size.height; ++y)
                for (int x = 0; x < size.width; ++x) ++plain[plane.plane->at(x, y)];
        }
        std::vector<ColorUse> counted = CountColors(rec, zoom2);
        std::sort(counted.begin(), counted.end(),
                  [](const ColorUse& a, const ColorUse& b) { return a.value < b.value; });
        std::vector<ColorUse> expected;
        for (const auto& [value, count] : plain) expected.push_back({value, count});
        ASSERT_EQ(counted, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace rvk
