// The whole vehicle as its window lays the views out, drawn into one picture.
#pragma once

#include "model/png_codec.h"
#include "model/render.h"
#include "model/vehicle.h"
#include "model/view_layout.h"

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

}  // namespace rvk
