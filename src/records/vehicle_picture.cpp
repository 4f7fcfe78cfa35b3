#include "records/vehicle_picture.h"

#include <algorithm>
#include <vector>

#include "records/render.h"
#include "records/view_layout.h"

namespace rvk {

namespace {

constexpr RgbColor kSteamFrame = MakeRgb(0xFF, 0x00, 0x00);
// Space around and between the views of a preview band.
constexpr int kPreviewGap = 4;
// The side views of the preview: the left one first, as the train shows it.
constexpr int kPreviewViews[] = {1, 0};

struct PreviewBand {
    int width1 = 0, height1 = 0;  // of each side view at 1:1
    // The two views at 1:1 with a gap before, between and after them hold each at 2:1.
    int width() const { return 2 * width1 + 3 * kPreviewGap; }
    int height() const { return 5 * height1 + 4 * kPreviewGap; }
};

PreviewBand BandOf(const VehicleRec& rec, bool zoom2) {
    PreviewBand band;
    for (const int v : kPreviewViews) {
        const ViewSize size = ViewGeometry(&rec, v, zoom2);
        band.width1 = std::max(band.width1, size.width);
        band.height1 = std::max(band.height1, size.height);
    }
    return band;
}

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

PictureSize PreviewSize(const VehicleRec& rec, bool zoom2, std::size_t levelCount) {
    const PreviewBand band = BandOf(rec, zoom2);
    return {band.width(), band.height() * static_cast<int>(levelCount)};
}

void DrawPreview(Canvas& canvas, const VehicleRec& rec, bool zoom2,
                 std::span<const NightLevel> levels) {
    const PreviewBand band = BandOf(rec, zoom2);
    int top = 0;
    for (const NightLevel level : levels) {
        canvas.color = ScreenWord(SkyColor(level));
        FillRect(canvas, 0, top, band.width(), top + band.height());
        const auto paint = [&](int view, int x, int y, int zoom) {
            Canvas part = SubCanvas(canvas, x, y, band.width1 * zoom, band.height1 * zoom);
            PaintVehicleView(part, rec, view, zoom2, zoom, level, SkyColor(level));
        };
        const int row1 = top + kPreviewGap;
        const int row2 = row1 + band.height1 + kPreviewGap;
        const int row3 = row2 + 2 * band.height1 + kPreviewGap;
        paint(kPreviewViews[0], kPreviewGap, row1, 1);
        paint(kPreviewViews[1], 2 * kPreviewGap + band.width1, row1, 1);
        paint(kPreviewViews[0], kPreviewGap, row2, 2);
        paint(kPreviewViews[1], kPreviewGap, row3, 2);
        top += band.height();
    }
}

std::vector<Rect> TrainPlaces(const FleetRec& fleet, int zoom) {
    std::vector<Rect> places;
    int highest = 0;
    for (const auto& rec : fleet.vehicles)
        highest = std::max(highest, ViewGeometry(rec.get(), kPreviewViews[0], false).height);
    int x = 0;
    for (const auto& rec : fleet.vehicles) {
        const ViewSize size = ViewGeometry(rec.get(), kPreviewViews[0], false);
        places.push_back({x, (highest - size.height) * zoom, size.width * zoom, size.height * zoom});
        x += size.width * zoom;
    }
    return places;
}

PictureSize TrainSize(const std::vector<Rect>& places) {
    PictureSize size;
    for (const Rect& r : places) {
        size.width = std::max(size.width, r.right());
        size.height = std::max(size.height, r.bottom());
    }
    return size;
}

void DrawTrain(Canvas& canvas, const FleetRec& fleet, const std::vector<Rect>& places,
               NightLevel level, int zoom) {
    canvas.color = ScreenWord(SkyColor(level));
    FillRect(canvas, 0, 0, canvas.width, canvas.height);
    for (std::size_t i = 0; i < places.size() && i < fleet.vehicles.size(); ++i) {
        const Rect& r = places[i];
        Canvas part = SubCanvas(canvas, r.x, r.y, r.width, r.height);
        PaintVehicleView(part, *fleet.vehicles[i], kPreviewViews[0], false, zoom, level,
                         SkyColor(level));
    }
}

RgbaImage DrawTrainPicture(const FleetRec& fleet, NightLevel level, int zoom) {
    const std::vector<Rect> places = TrainPlaces(fleet, zoom);
    const PictureSize size = TrainSize(places);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(size.width) * size.height, 0);
    Canvas canvas{bits.data(), size.width, size.height, size.width};
    DrawTrain(canvas, fleet, places, level, zoom);
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
