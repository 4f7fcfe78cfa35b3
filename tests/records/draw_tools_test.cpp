#include "records/draw_tools.h"

#include <gtest/gtest.h>

#include "records/render.h"

namespace rvk {
namespace {

TEST(DrawTools, ToolChoiceByModifiers) {
    using P = PanelTool;
    using A = ToolAction;
    EXPECT_EQ(ChooseTool(P::Pen, false, false, false), A::Pen);
    EXPECT_EQ(ChooseTool(P::Line, false, false, false), A::Line);
    EXPECT_EQ(ChooseTool(P::Rect, false, false, false), A::Rect);
    EXPECT_EQ(ChooseTool(P::Fill, false, false, false), A::Fill);
    EXPECT_EQ(ChooseTool(P::Select, false, false, false), A::Select);
    EXPECT_EQ(ChooseTool(P::Pick, false, false, false), A::Pick);
    // Ctrl wins over everything, Alt over Shift; Alt with the fill tool still fills.
    EXPECT_EQ(ChooseTool(P::Fill, true, true, true), A::Pick);
    EXPECT_EQ(ChooseTool(P::Select, false, true, true), A::Replace);
    EXPECT_EQ(ChooseTool(P::Fill, false, true, false), A::Fill);
    EXPECT_EQ(ChooseTool(P::Line, false, false, true), A::Select);
    EXPECT_EQ(ChooseTool(P::Fill, false, false, true), A::Fill);
}

std::vector<CellPoint> Pts(std::initializer_list<std::pair<int, int>> list) {
    std::vector<CellPoint> out;
    for (auto [x, y] : list) out.push_back({x, y});
    return out;
}

TEST(DrawTools, LinePointsRoundHalfUp) {
    EXPECT_EQ(LinePoints({2, 3}, {7, 5}), Pts({{2, 3}, {3, 3}, {4, 4}, {5, 4}, {6, 5}, {7, 5}}));
    EXPECT_EQ(LinePoints({0, 0}, {0, 4}), Pts({{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}));
    EXPECT_EQ(LinePoints({4, 4}, {4, 4}), Pts({{4, 4}}));
    // Going the other way rounds towards +infinity, not away from zero.
    EXPECT_EQ(LinePoints({7, 5}, {2, 3}), Pts({{7, 5}, {6, 5}, {5, 4}, {4, 4}, {3, 3}, {2, 3}}));
    // Exact halves deep in a long line still round up: 11 * 15 / 22 = 7.5 gives 8, and
    // -21 * 18 / 28 = -13.5 gives -13.
    EXPECT_EQ(LinePoints({0, 0}, {22, 11})[15], (CellPoint{15, 8}));
    EXPECT_EQ(LinePoints({28, 21}, {0, 0})[18], (CellPoint{10, 8}));
}

TEST(DrawTools, LineIsCutToThePlane) {
    Plane p(16, 14);
    DrawLine({&p, 16, 14}, {14, 12}, {17, 15}, 0x000000FF);
    EXPECT_EQ(p.at(14, 12), 0x000000FFu);
    EXPECT_EQ(p.at(15, 13), 0x000000FFu);
}

TEST(DrawTools, FilledRectangleFromAnyCorner) {
    Plane p(16, 14);
    FillRect({&p, 16, 14}, {5, 5}, {2, 8}, 0x00123456);
    int count = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 16; ++x)
            if (p.at(x, y) == 0x00123456u) {
                ++count;
                EXPECT_TRUE(x >= 2 && x <= 5 && y >= 5 && y <= 8) << x << "," << y;
            }
    EXPECT_EQ(count, 16);
    FillRect({&p, 16, 14}, {14, 12}, {20, 20}, 1);
    EXPECT_EQ(p.at(15, 13), 1u);
}

TEST(DrawTools, ReplaceKeepsOtherTypeBytes) {
    Plane p(16, 14);
    const PixelValue red = 0x000000FF, redLamp = 0x510000FF, blue = 0x00FF0000;
    p.set(0, 0, red);
    p.set(15, 13, red);
    p.set(3, 3, redLamp);
    p.set(4, 4, red);
    ReplaceColor({&p, 16, 14}, {0, 0, 15, 13}, red, blue);
    EXPECT_EQ(p.at(0, 0), blue);
    EXPECT_EQ(p.at(15, 13), blue);
    EXPECT_EQ(p.at(4, 4), blue);
    EXPECT_EQ(p.at(3, 3), redLamp);
    EXPECT_EQ(p.at(1, 1), kTransparent);

    // Within a selection only.
    ReplaceColor({&p, 16, 14}, {0, 0, 3, 3}, blue, red);
    EXPECT_EQ(p.at(0, 0), red);
    EXPECT_EQ(p.at(4, 4), blue);
    // An untouched plane has nothing but transparent pixels to replace.
    Plane empty(16, 14);
    ReplaceColor({&empty, 16, 14}, {0, 0, 15, 13}, red, blue);
    EXPECT_FALSE(empty.allocated());
    ReplaceColor({&empty, 16, 14}, {2, 2, 3, 3}, kTransparent, blue);
    EXPECT_EQ(empty.at(3, 3), blue);
    EXPECT_EQ(empty.at(4, 3), kTransparent);
}

TEST(DrawTools, FillReachesHiddenRowsOfASideView) {
    VehicleRec rec;
    rec.HeightS = 10;  // visible rows 4..13 of the plane
    PlaneRef ref = PlaneOf(&rec, 1, false);
    // A wall across the visible rows, open at the hidden top rows.
    for (int y = 4; y < 14; ++y) ref.plane->set(8, y, 0x00FFFFFF);
    FloodFill(ref.plane->mutableData(), ref.width, ref.height, 0, 13, 0x000000FF);
    EXPECT_EQ(ref.plane->at(0, 0), 0x000000FFu);     // hidden row above the vehicle
    EXPECT_EQ(ref.plane->at(200, 13), 0x000000FFu);  // round the wall through the hidden rows
    EXPECT_EQ(ref.plane->at(8, 10), 0x00FFFFFFu);
}

TEST(DrawTools, SelectionBoundsClampToThePlane) {
    EXPECT_EQ(SelectionBounds({3, 5}, {10, 2}, 16, 14), (CellRect{3, 2, 10, 5}));
    EXPECT_EQ(SelectionBounds({3, 5}, {20, 16}, 16, 14), (CellRect{3, 5, 15, 13}));
    // Corners of a larger scale that lie beyond this plane select nothing.
    EXPECT_FALSE(SelectionBounds({300, 0}, {400, 3}, 256, 14).has_value());
}

}  // namespace
}  // namespace rvk
