#include "records/end_view_shift.h"

#include <gtest/gtest.h>

#include <vector>

namespace rvk {
namespace {

// Every pixel of the roof and end planes (whole capacity) tells its view, row and column.
PixelValue Tag(int view, int y, int x) {
    return static_cast<PixelValue>(view) << 20 | static_cast<PixelValue>(y) << 8 |
           static_cast<PixelValue>(x);
}

VehicleRec Tagged(bool zoom2) {
    VehicleRec rec;
    for (int v = 2; v < kViewCount; ++v) {
        const PlaneRef p = PlaneOf(&rec, v, zoom2);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) p.plane->set(x, y, Tag(v, y, x));
    }
    return rec;
}

// The first w pixels of a plane row.
std::vector<PixelValue> Row(const VehicleRec& rec, int view, bool zoom2, int y, int w) {
    const ConstPlaneRef p = PlaneOf(&rec, view, zoom2);
    std::vector<PixelValue> row;
    for (int x = 0; x < w; ++x) row.push_back(p.plane->at(x, y));
    return row;
}
// What row y of a view held before the shift.
std::vector<PixelValue> Was(int view, int y, int w) {
    std::vector<PixelValue> row;
    for (int x = 0; x < w; ++x) row.push_back(Tag(view, y, x));
    return row;
}
std::vector<PixelValue> Clear(int w) {
    return std::vector<PixelValue>(static_cast<std::size_t>(w), kTransparent);
}

bool Untouched(const VehicleRec& rec, int view, bool zoom2) {
    const VehicleRec before = Tagged(zoom2);
    return PlaneOf(&rec, view, zoom2).plane->sameContent(*PlaneOf(&before, view, zoom2).plane);
}

// Roof half, end view and extra end view of each end.
constexpr int kEnds[2][3] = {{2, 3, 7}, {4, 5, 6}};

TEST(EndViewShift, DownByOneCopiesTheRoofsLastRowIntoTheTopOfEachEndView) {
    VehicleRec rec = Tagged(false);  // Length 32: roof rows 0..15; HeightF 9; extra views on
    ASSERT_EQ(ShiftEndViews(rec, false, 1, 0, false), 0);
    EXPECT_EQ(rec.HeightF, 10);
    for (const auto& e : kEnds) {
        EXPECT_TRUE(Untouched(rec, e[0], false));
        for (const int end : {e[1], e[2]}) {
            // Both the main and the extra end view take the top row from the same roof.
            EXPECT_EQ(Row(rec, end, false, 0, 8), Was(e[0], 15, 8)) << "view " << end;
            for (int m = 1; m <= 9; ++m)
                EXPECT_EQ(Row(rec, end, false, m, 8), Was(end, m - 1, 8)) << "view " << end;
            // Columns beyond the width stay as they were.
            EXPECT_EQ(PlaneOf(&rec, end, false).plane->at(8, 0), Tag(end, 0, 8));
        }
    }
}

TEST(EndViewShift, UpByTwoPushesTheTopRowsIntoTheRoof) {
    VehicleRec rec = Tagged(false);
    ASSERT_EQ(ShiftEndViews(rec, false, 2, 0, true), 0);
    EXPECT_EQ(rec.HeightF, 7);
    for (const auto& e : kEnds) {
        EXPECT_EQ(Row(rec, e[0], false, 14, 8), Was(e[1], 0, 8));
        EXPECT_EQ(Row(rec, e[0], false, 15, 8), Was(e[1], 1, 8));
        EXPECT_EQ(Row(rec, e[0], false, 13, 8), Was(e[0], 13, 8));
        for (const int end : {e[1], e[2]}) {
            for (int m = 0; m < 7; ++m)
                EXPECT_EQ(Row(rec, end, false, m, 8), Was(end, m + 2, 8)) << "view " << end;
            EXPECT_EQ(Row(rec, end, false, 7, 8), Clear(8));
            EXPECT_EQ(Row(rec, end, false, 8, 8), Clear(8));
        }
    }
}

TEST(EndViewShift, RoofRowsCarriedAlongAndBack) {
    VehicleRec rec = Tagged(false);
    rec.Length = 40;  // roof rows 0..19
    ASSERT_EQ(ShiftEndViews(rec, false, 1, 3, true), 3);
    for (const auto& e : kEnds) {
        EXPECT_EQ(Row(rec, e[0], false, 15, 8), Was(e[0], 15, 8));
        for (int q = 16; q <= 18; ++q) EXPECT_EQ(Row(rec, e[0], false, q, 8), Was(e[0], q + 1, 8));
        EXPECT_EQ(Row(rec, e[0], false, 19, 8), Was(e[1], 0, 8));
    }
    // Down again with the same roof part brings the end view's row back from the roof;
    // the roof row the way up overwrote stays lost.
    ASSERT_EQ(ShiftEndViews(rec, false, 1, 3, false), 3);
    EXPECT_EQ(rec.HeightF, 9);
    for (const auto& e : kEnds) {
        for (int m = 0; m < 8; ++m) EXPECT_EQ(Row(rec, e[1], false, m, 8), Was(e[1], m, 8));
        for (int q = 17; q <= 19; ++q) EXPECT_EQ(Row(rec, e[0], false, q, 8), Was(e[0], q, 8));
        EXPECT_EQ(Row(rec, e[0], false, 16, 8), Was(e[0], 17, 8));
    }
}

TEST(EndViewShift, ExtraEndViewsStayWithoutTheirBit) {
    VehicleRec rec = Tagged(false);
    rec.Props &= ~kExtraViews;
    ASSERT_TRUE(ShiftEndViews(rec, false, 3, 0, false));
    EXPECT_TRUE(Untouched(rec, 6, false));
    EXPECT_TRUE(Untouched(rec, 7, false));
    EXPECT_FALSE(Untouched(rec, 3, false));
}

TEST(EndViewShift, RefusedBeyondTheEndPlanes) {
    VehicleRec rec = Tagged(false);
    rec.HeightF = 14;
    EXPECT_FALSE(CanShiftEndViews(rec, false, 1, false));
    EXPECT_FALSE(ShiftEndViews(rec, false, 1, 0, false));
    EXPECT_TRUE(CanShiftEndViews(rec, false, 12, true));   // leaves two rows
    EXPECT_FALSE(CanShiftEndViews(rec, false, 13, true));  // would leave one
    EXPECT_FALSE(CanShiftEndViews(rec, false, 0, true));
    EXPECT_FALSE(CanShiftEndViews(rec, false, -1, false));
    rec.HeightF = 9;
    EXPECT_TRUE(CanShiftEndViews(rec, false, 5, false));
    EXPECT_FALSE(CanShiftEndViews(rec, false, 6, false));
    // A height beyond the plane (a damaged record) is left alone either way.
    rec.HeightF = 20;
    EXPECT_FALSE(ShiftEndViews(rec, false, 1, 0, true));
    EXPECT_EQ(rec.HeightF, 20);
    for (int v = 2; v < kViewCount; ++v) EXPECT_TRUE(Untouched(rec, v, false)) << v;
}

TEST(EndViewShift, Zoom2ScaleUsesItsOwnPlanesHeightAndRoof) {
    VehicleRec rec = Tagged(true);  // Length 32: Zoom2 roof rows 0..31; Zoom2HeightF 18
    EXPECT_TRUE(CanShiftEndViews(rec, true, 10, false));
    EXPECT_FALSE(CanShiftEndViews(rec, true, 11, false));
    ASSERT_EQ(ShiftEndViews(rec, true, 1, 0, false), 0);
    EXPECT_EQ(rec.Zoom2HeightF, 19);
    EXPECT_EQ(rec.HeightF, 9);
    EXPECT_EQ(Row(rec, 3, true, 0, 16), Was(2, 31, 16));
    EXPECT_EQ(Row(rec, 3, true, 1, 16), Was(3, 0, 16));
    EXPECT_EQ(PlaneOf(&rec, 3, true).plane->at(16, 0), Tag(3, 0, 16));
    EXPECT_FALSE(PlaneOf(&rec, 3, false).plane->allocated());
}

TEST(EndViewShift, ShortRoofLimitsTheRoofPartAndTheSeam) {
    // Length 8: the roof halves show rows 0..3 only.
    VehicleRec rec = Tagged(false);
    rec.Length = 8;
    EXPECT_EQ(ShiftEndViews(rec, false, 3, 100, false), 1);
    // One roof row fits besides the three the end view takes: rows 1..3 went into the
    // end view and row 3 takes the row three above it.
    EXPECT_EQ(Row(rec, 2, false, 3, 8), Was(2, 0, 8));
    EXPECT_EQ(Row(rec, 2, false, 2, 8), Was(2, 2, 8));
    for (int m = 0; m < 3; ++m) EXPECT_EQ(Row(rec, 3, false, m, 8), Was(2, m + 1, 8)) << m;

    // Further down than the roof is long: rows from above the roof come in transparent.
    rec = Tagged(false);
    rec.Length = 8;
    rec.HeightF = 2;
    ASSERT_EQ(ShiftEndViews(rec, false, 12, 3, false), 0);
    EXPECT_EQ(rec.HeightF, 14);
    for (int m = 0; m < 8; ++m) EXPECT_EQ(Row(rec, 3, false, m, 8), Clear(8)) << m;
    for (int m = 8; m < 12; ++m) EXPECT_EQ(Row(rec, 3, false, m, 8), Was(2, m - 8, 8)) << m;
    EXPECT_EQ(Row(rec, 3, false, 13, 8), Was(3, 1, 8));
    EXPECT_TRUE(Untouched(rec, 2, false));

    // Further up than the roof is long: the rows that pass its top are gone.
    rec = Tagged(false);
    rec.Length = 8;
    rec.HeightF = 14;
    ASSERT_EQ(ShiftEndViews(rec, false, 10, 0, true), 0);
    EXPECT_EQ(rec.HeightF, 4);
    for (int q = 0; q < 4; ++q) EXPECT_EQ(Row(rec, 2, false, q, 8), Was(3, q + 6, 8)) << q;
    EXPECT_EQ(Row(rec, 2, false, 4, 8), Was(2, 4, 8));
    for (int m = 0; m < 4; ++m) EXPECT_EQ(Row(rec, 3, false, m, 8), Was(3, m + 10, 8));
    for (int m = 4; m < 14; ++m) EXPECT_EQ(Row(rec, 3, false, m, 8), Clear(8));
}

}  // namespace
}  // namespace rvk
