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
// vehicle's front end (left in the left side view, right in the right one); the arrows
// under the end views point up at the view they belong to.
enum class Arrow { Left, Right, Up };
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
        }
    }
}

void DrawPanel(Canvas& canvas, const Rect& r) {
    Fill(canvas, r, kPanelFrameColor);
    Fill(canvas,
         Rect{r.x + kPanelFrame, r.y + kPanelFrame, r.width - 2 * kPanelFrame,
              r.height - 2 * kPanelFrame},
         kPanelColor);
}

}  // namespace

RgbaImage DrawVehiclePicture(const VehicleRec& rec, bool zoom2, int zoom, int layout,
                             NightLevel level, bool steam) {
    const VehicleLayout l = LayoutViews(rec, zoom2, zoom, layout);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(l.extentWidth) * l.extentHeight, 0);
    Canvas canvas{bits.data(), l.extentWidth, l.extentHeight, l.extentWidth};
    Fill(canvas, Rect{0, 0, l.extentWidth, l.extentHeight}, kScrollAreaColor);
    for (const Rect& panel : l.panels) DrawPanel(canvas, panel);
    Fill(canvas, l.lineS, kPanelFrameColor);
    Fill(canvas, l.lineN, kPanelFrameColor);
    DrawArrow(canvas, l.images[kImgLeft], Arrow::Left);
    DrawArrow(canvas, l.images[kImgRight], Arrow::Right);
    DrawArrow(canvas, l.images[kImgS], Arrow::Up);
    DrawArrow(canvas, l.images[kImg2S], Arrow::Up);
    if (rec.Props & kExtraViews) {
        DrawArrow(canvas, l.images[kImg2N], Arrow::Up);
        DrawArrow(canvas, l.images[kImgN], Arrow::Up);
    }
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
