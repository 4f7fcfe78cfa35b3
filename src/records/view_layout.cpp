#include "records/view_layout.h"

#include <algorithm>

namespace rvk {

namespace {

// Stacks the parts of an end-view column from the top of its panel's content.
class Column {
public:
    Column(int x, int y, int width) : x_(x), y_(y), width_(width) {}
    Rect take(int height) {
        const Rect r{x_, y_, width_, height};
        y_ += height;
        return r;
    }
    void skip(int height) { y_ += height; }

private:
    int x_, y_, width_;
};

}  // namespace

VehicleLayout LayoutViews(const VehicleRec& rec, bool zoom2, int zoom, int layout) {
    VehicleLayout out;
    const int z = std::max(zoom, 1);
    const bool extra = (rec.Props & kExtraViews) != 0;
    std::array<ViewSize, kViewCount> box;
    for (int v = 0; v < kViewCount; ++v) {
        const ViewSize size = ViewGeometry(&rec, v, zoom2);
        box[v] = {size.width * z, size.height * z};
        out.shown[v] = v < 6 || extra;
    }
    const int line = z > 1 ? 1 : 0;
    const int c = 2 * kPanelInset;

    auto sidePanel = [&](int view, int y, LayoutPanel panel, LayoutImage image) {
        out.panels[panel] = {kLayoutLeft, y, c + kSideImageWidth + box[view].width,
                             c + box[view].height};
        const int innerX = kLayoutLeft + kPanelInset, innerY = y + kPanelInset;
        out.images[image] = {innerX, innerY, kSideImageWidth, box[view].height};
        out.views[view] = {innerX + kSideImageWidth, innerY, box[view].width, box[view].height};
    };
    sidePanel(1, kLayoutTop, kPanelLeft, kImgLeft);
    const Rect& left = out.panels[kPanelLeft];
    sidePanel(0, left.bottom() + kPanelGap, kPanelRight, kImgRight);
    const Rect& right = out.panels[kPanelRight];

    const int originX = layout == kLayoutBeside ? left.right() + kPanelGap : left.x;
    const int originY = layout == kLayoutBeside ? left.y : right.bottom() + kPanelGap;
    const int colW = (zoom2 ? rec.Zoom2Width : rec.Width) * z;

    // One column: roof half, line, end view, marker; then, with the extra views shown,
    // gap, extra end view, gap, marker.
    auto column = [&](int x, int roof, int end, int extraView, LayoutPanel panel, Rect& sep,
                      LayoutImage img1, LayoutImage img2) {
        Column col(x + kPanelInset, originY + kPanelInset, colW);
        out.views[roof] = col.take(box[roof].height);
        sep = col.take(line);
        out.views[end] = col.take(box[end].height);
        out.images[img1] = col.take(kColumnImageHeight);
        col.skip(kColumnGap);
        out.views[extraView] = col.take(box[extraView].height);
        col.skip(kColumnGap);
        out.images[img2] = col.take(kColumnImageHeight);
        int height = c + box[roof].height + line + box[end].height + kColumnImageHeight;
        if (extra)
            height += 2 * kPanelFrame + 2 * kColumnGap + box[extraView].height + kColumnImageHeight;
        out.panels[panel] = {x, originY, c + colW, height};
    };
    column(originX, 2, 3, 6, kPanelS, out.lineS, kImgS, kImg2N);
    column(originX + kPanelGap + out.panels[kPanelS].width, 4, 5, 7, kPanelN, out.lineN, kImg2S,
           kImgN);

    for (const Rect& p : out.panels) {
        out.extentWidth = std::max(out.extentWidth, p.right() + kLayoutLeft);
        out.extentHeight = std::max(out.extentHeight, p.bottom() + kLayoutTop);
    }
    return out;
}

SteamMarker SteamMarkerOf(const VehicleRec& rec, int view, bool zoom2, int point) {
    const int s = zoom2 ? 2 : 1;
    const int X = rec.Steam[3 * point], Y = rec.Steam[3 * point + 1];
    const int L = rec.Steam[3 * point + 2];
    const int planeHeight = s * kPlaneHeight[view];
    const int d = RowOffset(rec, view, zoom2);
    int x0 = X * s, x1 = x0 + L * s - 1;
    if (view == 0) {
        // The right side is seen mirrored.
        x0 = (rec.Length - X) * s - 1;
        x1 = x0 - L * s + 1;
    }
    const int r0 = planeHeight - Y * s - 1 - d;
    return {x0, r0, x1, r0 - 7 * s + 1};
}

}  // namespace rvk
