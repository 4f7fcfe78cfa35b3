#include "records/render.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

namespace rvk {
namespace {

constexpr std::uint32_t kGuard = 0x12345678u;

// A raster with a guard band around it and padding at the end of every line, so a
// write outside the canvas shows up.
struct Raster {
    Raster(int w, int h, int pad = 3) : width(w), height(h), stride(w + pad) {
        words.assign(static_cast<std::size_t>(stride) * (h + 2) + 2 * stride, kGuard);
    }
    Canvas canvas() { return Canvas{words.data() + stride + 1, width, height, stride}; }
    std::uint32_t at(int x, int y) const { return words[(y + 1) * stride + x + 1]; }
    bool guardsIntact() const {
        for (int y = -1; y <= height; ++y)
            for (int x = -1; x < stride - 1; ++x) {
                const bool inside = y >= 0 && y < height && x >= 0 && x < width;
                if (!inside && words[(y + 1) * stride + x + 1] != kGuard) return false;
            }
        return true;
    }
    int width, height, stride;
    std::vector<std::uint32_t> words;
};

const std::uint32_t kGreen = ScreenWord(MakeRgb(0, 0x70, 0));
const std::uint32_t kGrey = 0xff808080u;

TEST(Render, ScreenWordsAreRgb32) {
    EXPECT_EQ(ScreenWord(MakeRgb(0x12, 0x34, 0x56)), 0xff123456u);
    EXPECT_EQ(RgbOfWord(0xff123456u), MakeRgb(0x12, 0x34, 0x56));
    Raster r(4, 4);
    Canvas c = r.canvas();
    DrawPixelCell(c, 0x000000FFu, 0, 0, 0, 4);  // pure red in memory order
    EXPECT_EQ(r.at(3, 3), 0xffff0000u);
}

TEST(Render, SeeThroughCellsCarryAGreyMarkAboveZoomOne) {
    Raster r(12, 8);
    Canvas c = r.canvas();
    DrawPixelCell(c, kTransparent, 1, 0, 0, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x)
            EXPECT_EQ(r.at(x, y), (x == 6 && y == 2) ? kGrey : kGreen) << x << "," << y;
    EXPECT_EQ(r.at(3, 0), kGuard);  // the neighbouring cell is untouched

    DrawPixelCell(c, kHalfTransparent, 2, 1, 2, 3);  // cell 6..8 x 3..5, mark at (7, 4)
    EXPECT_EQ(r.at(7, 4), kGrey);
    EXPECT_EQ(r.at(6, 3), ScreenWord(MakeRgb(0, 0x32, 0x64)));

    Raster one(2, 2);
    Canvas c1 = one.canvas();
    DrawPixelCell(c1, kTransparent, 1, 1, 0, 1);
    EXPECT_EQ(one.at(1, 1), kGreen);
    // An opaque cell has no mark.
    DrawPixelCell(c, 0x00FFFFFFu, 0, 1, 0, 4);
    EXPECT_EQ(r.at(2, 6), 0xffffffffu);
}

TEST(Render, SelectionFrameIsDottedOnTheOuterPixels) {
    Raster r(40, 30);
    Canvas c = r.canvas();
    std::fill(r.words.begin(), r.words.end(), 0u);
    DrawSelectionFrame(c, 3, 2, 3, 2, 8, MakeRgb(255, 255, 255));
    std::vector<std::pair<int, int>> set;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (r.at(x, y) == 0xffffffffu) set.emplace_back(x, y);
    // Top and bottom rows at x = 24, 26, 28, 30; left and right columns at y = 16..22.
    std::vector<std::pair<int, int>> expected;
    for (int y = 16; y <= 23; ++y)
        for (int x = 24; x <= 31; ++x) {
            const bool top = y == 16 && x % 2 == 0, bottom = y == 23 && x % 2 == 0;
            const bool side = (x == 24 || x == 31) && y % 2 == 0;
            if (top || bottom || side) expected.emplace_back(x, y);
        }
    std::sort(set.begin(), set.end(), [](auto a, auto b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    EXPECT_EQ(set, expected);

    // Corners in any order give the same frame.
    Raster r2(40, 30);
    std::fill(r2.words.begin(), r2.words.end(), 0u);
    Canvas c2 = r2.canvas();
    DrawSelectionFrame(c2, 4, 3, 1, 1, 2, MakeRgb(255, 0, 0));
    Raster r3(40, 30);
    std::fill(r3.words.begin(), r3.words.end(), 0u);
    Canvas c3 = r3.canvas();
    DrawSelectionFrame(c3, 1, 1, 4, 3, 2, MakeRgb(255, 0, 0));
    EXPECT_EQ(r2.words, r3.words);
    EXPECT_EQ(r2.at(2, 2), 0xffff0000u);
    EXPECT_EQ(r2.at(9, 7), 0u);  // (9, 7): right and bottom edges start on even offsets
}

TEST(Render, DrawingIsClippedToTheCanvas) {
    Raster r(10, 6);
    Canvas c = r.canvas();
    DottedRect(c, 5, 5, 4, 4, MakeRgb(1, 2, 3));  // empty: x0 > x1
    EXPECT_EQ(r.at(4, 4), kGuard);
    DrawSelectionFrame(c, -2, -3, 20, 1, 4, MakeRgb(9, 9, 9));
    DrawPixelCell(c, kTransparent, -1, 1, 0, 4);
    DrawPixelCell(c, kTransparent, 2, 1, 0, 4);
    FillRect(c, -5, -5, 50, 50);
    EXPECT_TRUE(r.guardsIntact());

    // A part of a canvas clips to its own edge.
    Raster big(10, 10);
    std::fill(big.words.begin(), big.words.end(), 0u);
    Canvas whole = big.canvas();
    Canvas part = SubCanvas(whole, 2, 3, 4, 4);
    DrawPixelCell(part, 0x00FFFFFFu, 0, 0, 0, 8);
    EXPECT_EQ(big.at(2, 3), 0xffffffffu);
    EXPECT_EQ(big.at(5, 6), 0xffffffffu);
    EXPECT_EQ(big.at(6, 6), 0u);
    EXPECT_EQ(big.at(5, 7), 0u);
    EXPECT_EQ(SubCanvas(whole, 10, 0, 4, 4).width, 0);
    EXPECT_EQ(SubCanvas(whole, 8, 8, 4, 4).width, 2);
}

// Reference: DrawPixelCell for every cell, into a canvas big enough that any origin
// lies inside it, then the window of interest compared.
TEST(Render, PaintViewCellsMatchesCellByCellDrawing) {
    std::mt19937 rng(7);
    const std::vector<PixelValue> kinds = {kTransparent, kHalfTransparent, 0x00123456u,
                                           0x40FF00FFu,  0x5000FF00u,      0x610000FFu,
                                           0x66A0A0A0u,  0x00FFFFFFu};
    const int planeW = 20, planeH = 14;
    std::vector<PixelValue> plane(planeW * planeH);
    for (auto& p : plane) p = kinds[rng() % kinds.size()];

    for (int zoom = 1; zoom <= 5; ++zoom)
        for (const int level : {0, 1, 3})
            for (const auto& [ox, oy] : {std::pair{0, 0}, {3, 2}, {-7, -5}, {-1, 9}, {40, 1}}) {
                const int w = 17, h = 11, rowOffset = 3;
                Raster got(53, 37);
                Canvas gc = got.canvas();
                PaintViewCells(gc, ox, oy, plane.data(), planeW, rowOffset, w, h, zoom, level);
                ASSERT_TRUE(got.guardsIntact()) << zoom << " " << ox << "," << oy;

                const int m = 40;
                Raster ref(53 + 2 * m, 37 + 2 * m);
                Canvas rc = SubCanvas(ref.canvas(), m + ox, m + oy, 1000, 1000);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        DrawPixelCell(rc, plane[(y + rowOffset) * planeW + x], x, y, level, zoom);
                for (int y = 0; y < 37; ++y)
                    for (int x = 0; x < 53; ++x)
                        ASSERT_EQ(got.at(x, y), ref.at(x + m, y + m))
                            << "zoom " << zoom << " origin " << ox << "," << oy << " at " << x
                            << "," << y;
            }
}

TEST(Render, CellsInFrontOfABackgroundShowItThroughTransparentPixelsOnly) {
    const std::vector<PixelValue> kinds = {kTransparent, kHalfTransparent, 0x00123456u,
                                           0x40FF00FFu, 0x610000FFu};
    const RgbColor sky = MakeRgb(1, 2, 3);
    for (int zoom = 1; zoom <= 3; ++zoom)
        for (const int level : {0, 2}) {
            const int w = static_cast<int>(kinds.size());
            Raster r(w * zoom, zoom);
            Canvas c = r.canvas();
            PaintViewCells(c, 0, 0, kinds.data(), w, 0, w, 1, zoom, level, sky);
            ASSERT_TRUE(r.guardsIntact());
            // No grey marks: every screen pixel of a cell has the cell's colour.
            for (int x = 0; x < w * zoom; ++x)
                for (int y = 0; y < zoom; ++y) {
                    const PixelValue p = kinds[x / zoom];
                    EXPECT_EQ(r.at(x, y), ScreenWord(p == kTransparent ? sky : DisplayColor(p, level)))
                        << "zoom " << zoom << " level " << level << " at " << x << "," << y;
                }
        }
}

TEST(Render, VehicleViewUsesTheVisibleRows) {
    VehicleRec v;
    v.HeightS = 3;
    v.Planes[1].set(0, 11, 0x000000FFu);  // plane row 11 = visible row 0
    v.Planes[1].set(1, 13, 0x0000FF00u);  // the bottom row
    v.Planes[1].set(2, 10, 0x00FF0000u);  // above the visible area
    Raster r(32 * 2, 3 * 2);
    Canvas c = r.canvas();
    PaintVehicleView(c, v, 1, false, 2, 0);
    EXPECT_EQ(r.at(0, 0), 0xffff0000u);
    EXPECT_EQ(r.at(3, 5), 0xff00ff00u);
    EXPECT_EQ(r.at(4, 0), kGreen);
    EXPECT_TRUE(r.guardsIntact());
}

// Plain breadth-first fill, to check the scanline fill against.
void ReferenceFill(std::vector<PixelValue>& p, int w, int h, int x, int y, PixelValue nv) {
    const PixelValue old = p[y * w + x];
    if (old == nv) return;
    std::deque<std::pair<int, int>> q{{x, y}};
    p[y * w + x] = nv;
    while (!q.empty()) {
        const auto [cx, cy] = q.front();
        q.pop_front();
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int i = 0; i < 4; ++i) {
            const int nx = cx + dx[i], ny = cy + dy[i];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || p[ny * w + nx] != old) continue;
            p[ny * w + nx] = nv;
            q.emplace_back(nx, ny);
        }
    }
}

TEST(FloodFill, FillsTheSameAreaAsABreadthFirstFill) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + static_cast<int>(rng() % 30), h = 1 + static_cast<int>(rng() % 20);
        std::vector<PixelValue> plane(w * h);
        for (auto& p : plane) p = (rng() % 3 == 0) ? 1u : 2u;
        const int x = static_cast<int>(rng() % w), y = static_cast<int>(rng() % h);
        auto expected = plane;
        ReferenceFill(expected, w, h, x, y, 7u);
        FloodFill(plane.data(), w, h, x, y, 7u);
        ASSERT_EQ(plane, expected) << "round " << round;
    }
}

TEST(FloodFill, EdgeCases) {
    // Two areas touching only at a corner stay apart.
    std::vector<PixelValue> p = {1, 0, 0, 1};
    FloodFill(p.data(), 2, 2, 0, 0, 5);
    EXPECT_EQ(p, (std::vector<PixelValue>{5, 0, 0, 1}));
    // Filling with the value already there, or from outside, changes nothing.
    FloodFill(p.data(), 2, 2, 1, 0, 0);
    FloodFill(p.data(), 2, 2, -1, 0, 9);
    FloodFill(p.data(), 2, 2, 0, 2, 9);
    EXPECT_EQ(p, (std::vector<PixelValue>{5, 0, 0, 1}));
    // Only the given rectangle of a wider plane is filled: callers pass whole planes,
    // and the stride equals the width.
    std::vector<PixelValue> whole(512 * 28, kTransparent);
    FloodFill(whole.data(), 512, 28, 511, 27, 0x00ABCDEFu);
    EXPECT_TRUE(
        std::all_of(whole.begin(), whole.end(), [](PixelValue v) { return v == 0x00ABCDEFu; }));
}

}  // namespace
}  // namespace rvk
