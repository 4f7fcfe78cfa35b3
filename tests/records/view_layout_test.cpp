#include "records/view_layout.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

TEST(ViewLayout, FreshVehicleAtZoomFourBelow) {
    const VehicleRec v;
    const VehicleLayout l = LayoutViews(v, false, 4, kLayoutBelow);
    // Side views 128 x 56 with their arrows, roof halves 32 x 64, end views 32 x 36.
    EXPECT_EQ(l.panels[kPanelLeft], (Rect{8, 9, 4 + 11 + 128, 4 + 56}));
    EXPECT_EQ(l.images[kImgLeft], (Rect{10, 11, 11, 56}));
    EXPECT_EQ(l.views[1], (Rect{21, 11, 128, 56}));
    EXPECT_EQ(l.panels[kPanelRight], (Rect{8, 78, 143, 60}));
    EXPECT_EQ(l.views[0], (Rect{21, 80, 128, 56}));

    // The end-view columns start below the right side view.
    const int top = 78 + 60 + 9;
    EXPECT_EQ(l.views[2], (Rect{10, top + 2, 32, 64}));
    EXPECT_EQ(l.lineS, (Rect{10, top + 66, 32, 1}));
    EXPECT_EQ(l.views[3], (Rect{10, top + 67, 32, 36}));
    EXPECT_EQ(l.images[kImgS], (Rect{10, top + 103, 32, 7}));
    EXPECT_EQ(l.views[6], (Rect{10, top + 113, 32, 36}));
    EXPECT_EQ(l.images[kImg2N], (Rect{10, top + 152, 32, 7}));
    // Frame and margin, roof, line, end view, arrow; then frame twice, gap, extra view,
    // gap, arrow.
    EXPECT_EQ(l.panels[kPanelS], (Rect{8, top, 36, 4 + 64 + 1 + 36 + 7 + 2 + 3 + 36 + 3 + 7}));
    EXPECT_EQ(l.panels[kPanelN], (Rect{8 + 36 + 9, top, 36, l.panels[kPanelS].height}));
    EXPECT_EQ(l.views[4].x, 55);
    EXPECT_EQ(l.views[5], (Rect{55, top + 67, 32, 36}));
    EXPECT_EQ(l.views[7].y, top + 113);
    for (bool shown : l.shown) EXPECT_TRUE(shown);

    // The area ends one margin past the widest and the lowest panel.
    EXPECT_EQ(l.extentWidth, 8 + 143 + 8);
    EXPECT_EQ(l.extentHeight, l.panels[kPanelS].bottom() + 9);
}

TEST(ViewLayout, BesideAndWithoutExtraViews) {
    VehicleRec v;
    v.Props &= ~kExtraViews;
    const VehicleLayout l = LayoutViews(v, false, 4, kLayoutBeside);
    // The columns stand right of the left side view, aligned with its top.
    EXPECT_EQ(l.panels[kPanelS].x, 8 + 143 + 9);
    EXPECT_EQ(l.panels[kPanelS].y, 9);
    EXPECT_EQ(l.panels[kPanelN].x, 160 + 36 + 9);
    // Cut below the first arrow: the extra end views are gone.
    EXPECT_EQ(l.panels[kPanelS].height, 4 + 64 + 1 + 36 + 7);
    EXPECT_EQ(l.panels[kPanelN].height, l.panels[kPanelS].height);
    EXPECT_FALSE(l.shown[6]);
    EXPECT_FALSE(l.shown[7]);
    EXPECT_TRUE(l.shown[5]);
    EXPECT_EQ(l.extentWidth, l.panels[kPanelN].right() + 8);
    EXPECT_EQ(l.extentHeight, l.panels[kPanelRight].bottom() + 9);
}

TEST(ViewLayout, ZoomOneHidesTheLinesAndZoom2UsesItsSizes) {
    VehicleRec v;
    const VehicleLayout one = LayoutViews(v, false, 1, kLayoutBelow);
    EXPECT_EQ(one.lineS.height, 0);
    EXPECT_EQ(one.views[3].y, one.views[2].bottom());

    v.Length = 40;
    v.Zoom2HeightS = 20;
    v.Zoom2Width = 12;
    const VehicleLayout z2 = LayoutViews(v, true, 2, kLayoutBelow);
    EXPECT_EQ(z2.views[1].width, 160);
    EXPECT_EQ(z2.views[1].height, 40);
    EXPECT_EQ(z2.views[2].width, 24);
    EXPECT_EQ(z2.views[2].height, 80);  // Zoom2 roof halves are Length rows
    EXPECT_EQ(z2.panels[kPanelS].width, 28);
}

TEST(ViewLayout, SteamMarkers) {
    VehicleRec v;
    v.Length = 40;
    v.SteamCount = 1;
    v.Steam[0] = 10, v.Steam[1] = 8, v.Steam[2] = 5;
    const SteamMarker left = SteamMarkerOf(v, 1, false, 0);
    EXPECT_EQ(left.x0, 10);
    EXPECT_EQ(left.x1, 14);
    EXPECT_EQ(left.y0, 5);
    EXPECT_EQ(left.y1, -1);
    const SteamMarker right = SteamMarkerOf(v, 0, false, 0);
    EXPECT_EQ(right.x0, 29);
    EXPECT_EQ(right.x1, 25);

    // Lower side views move the marker up with their visible rows; Zoom2 doubles it.
    v.HeightS = 10;
    EXPECT_EQ(SteamMarkerOf(v, 1, false, 0).y0, 1);
    v.Zoom2HeightS = 28;
    const SteamMarker z = SteamMarkerOf(v, 1, true, 0);
    EXPECT_EQ(z.x0, 20);
    EXPECT_EQ(z.x1, 29);
    EXPECT_EQ(z.y0, 11);
    EXPECT_EQ(z.y1, -2);
}

}  // namespace
}  // namespace rvk
