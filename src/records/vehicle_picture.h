// The whole vehicle as its window lays the views out, drawn into one picture.
#pragma once

#include <span>
#include <vector>

#include "records/render.h"
#include "records/rgba_image.h"
#include "records/vehicle.h"
#include "records/view_layout.h"

namespace rvk {

// What the vehicle window shows behind its views: the navy background, the framed
// panels and the marker arrows of layout l. Canvas pixel (0, 0) is the layout's point
// (originX, originY), so that a part of it can be drawn alone.
void DrawViewBackdrop(Canvas& canvas, const VehicleLayout& l, int originX, int originY);

// The views of rec (normal or Zoom2 graphics) arranged as the vehicle window shows
// them at a zoom and layout (0 or 1) on its navy background, framed panels and marker
// arrows, at a day/night level; with `steam` the steam points framed in red. Opaque.
RgbaImage DrawVehiclePicture(const VehicleRec& rec, bool zoom2, int zoom, int layout,
                             NightLevel level, bool steam);
// The canvas's pixels as an opaque picture.
RgbaImage CanvasPicture(const Canvas& canvas);

// What the simulation shows behind a vehicle: a light sky blue by day, a dark night blue
// at every night level.
inline constexpr RgbColor kDaySky = MakeRgb(0x8C, 0xBE, 0xE6);
inline constexpr RgbColor kNightSky = MakeRgb(0x00, 0x0C, 0x3C);
inline constexpr RgbColor SkyColor(NightLevel level) { return level == 0 ? kDaySky : kNightSky; }

// The live preview of a vehicle: one band per entry of `levels`, top to bottom, on that
// level's sky; in each the left and right side views at 1:1 beside each other, then
// each at 2:1 on a row of its own. The size it takes, and the drawing into a canvas of
// that size.
struct PictureSize {
    int width = 0;
    int height = 0;
};
PictureSize PreviewSize(const VehicleRec& rec, bool zoom2, std::size_t levelCount);
void DrawPreview(Canvas& canvas, const VehicleRec& rec, bool zoom2,
                 std::span<const NightLevel> levels);

// The fleet as a train: the left side view of each vehicle in list order, left to
// right, coupled without a gap and standing on one line, on the level's sky. Where
// each vehicle lies; the whole train is as wide as the last one's right edge and as
// high as the highest one.
std::vector<Rect> TrainPlaces(const FleetRec& fleet, int zoom);
PictureSize TrainSize(const std::vector<Rect>& places);
void DrawTrain(Canvas& canvas, const FleetRec& fleet, const std::vector<Rect>& places,
               NightLevel level, int zoom);
RgbaImage DrawTrainPicture(const FleetRec& fleet, NightLevel level, int zoom);

}  // namespace rvk
