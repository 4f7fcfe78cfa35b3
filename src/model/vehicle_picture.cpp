#include "model/vehicle_picture.h"

#include <vector>

#include "model/render.h"
#include "model/view_layout.h"

namespace rvk {

namespace {

constexpr RgbColor kSteamFrame = MakeRgb(0xFF, 0x00, 0x00);

void Fill(Canvas& canvas, const Rect& r, RgbColor color) {
    canvas.color = ScreenWord(color);
    FillRect(canvas, r.x, r.y, r.right(), r.bottom());
}

// A small solid triangle in the middle of a marker image. Side arrows point to the
// vehicle's front end (left in the left side view, right in the right one); under the
// end views the first marker of each column points down, the one below the extra view
// up.
enum class Arrow { Left, Right, Up, Down };
void DrawArrow(Canvas& canvas, const Rect& r, Arrow direction) {
    constexpr int k = 3;  // the triangle is 2k + 1 pixels across its base
    const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    canvas.color = ScreenWord(kPanelFrameColor);
    for (int i = 0; i <= k; ++i) {
        switch (direction) {
            case Arrow::Left:
                FillRect(canvas, cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1);
                break;
            case Arrow::Right:
                FillRect(canvas, cx + 2 - i, cy - i, cx + 3 - i, cy + i + 1);
                break;
            case Arrow::Up:
                FillRect(canvas, cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i);
                break;
            case Arrow::Down:
                FillRect(canvas, cx - i, cy + 2 - i, cx + i + 1, cy + 3 - i);
                break;
        }
    }
}

}  // namespace

void DrawViewBackdrop(Canvas& canvas, const VehicleLayout& l, int originX, int originY) {
    const auto fill = [&](const Rect& r, RgbColor color) {
        Fill(canvas, Rect{r.x - originX, r.y - originY, r.width, r.height}, color);
    };
    const auto arrow = [&](LayoutImage image, Arrow direction) {
        const Rect& r = l.images[image];
        DrawArrow(canvas, Rect{r.x - originX, r.y - originY, r.width, r.height}, direction);
    };
    fill(Rect{0, 0, l.extentWidth, l.extentHeight}, kScrollAreaColor);
    for (const Rect& r : l.panels) {
        fill(r, kPanelFrameColor);
        fill(Rect{r.x + kPanelFrame, r.y + kPanelFrame, r.width - 2 * kPanelFrame,
                  r.height - 2 * kPanelFrame},
             kPanelColor);
    }
    fill(l.lineS, kPanelFrameColor);
    fill(l.lineN, kPanelFrameColor);
    arrow(kImgLeft, Arrow::Left);
    arrow(kImgRight, Arrow::Right);
    arrow(kImgS, Arrow::Down);
    arrow(kImg2S, Arrow::Down);
    // The markers below the extra views lie outside the panels while those are hidden.
    if (l.shown[6]) {
        arrow(kImg2N, Arrow::Up);
        arrow(kImgN, Arrow::Up);
    }
}

RgbaImage DrawVehiclePicture(const VehicleRec& rec, bool zoom2, int zoom, int layout,
                             NightLevel level, bool steam) {
    const VehicleLayout l = LayoutViews(rec, zoom2, zoom, layout);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(l.extentWidth) * l.extentHeight, 0);
    Canvas canvas{bits.data(), l.extentWidth, l.extentHeight, l.extentWidth};
    DrawViewBackdrop(canvas, l, 0, 0);
    for (int v = 0; v < kViewCount; ++v) {
        if (!l.shown[v]) continue;
        const Rect& r = l.views[v];
        Canvas view = SubCanvas(canvas, r.x, r.y, r.width, r.height);
        PaintVehicleView(view, rec, v, zoom2, zoom, level);
        if (!steam || !IsSideView(v)) continue;
        for (int i = 0; i < rec.SteamCount; ++i) {
            const SteamMarker m = SteamMarkerOf(rec, v, zoom2, i);
            DrawSelectionFrame(view, m.x0, m.y0, m.x0, m.y0, zoom, kSteamFrame);
            DrawSelectionFrame(view, m.x0, m.y0, m.x1, m.y1, zoom, kSteamFrame);
        }
    }
    return CanvasPicture(canvas);
}

RgbaImage CanvasPicture(const Canvas& canvas) {
    RgbaImage rgba(canvas.width, canvas.height);
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x) {
            const RgbColor c =
                RgbOfWord(canvas.bits[static_cast<std::size_t>(y) * canvas.stride + x]);
            std::uint8_t* p = rgba.at(x, y);
            p[0] = RedOf(c), p[1] = GreenOf(c), p[2] = BlueOf(c), p[3] = 0xFF;
        }
    return rgba;
}

}  // namespace rvk
