// The whole vehicle as its window lays the views out, drawn into one picture.
#pragma once

#include "model/png_codec.h"
#include "model/render.h"
#include "model/vehicle.h"

namespace rvk {

// The views of rec (normal or Zoom2 graphics) arranged as the vehicle window shows
// them at a zoom and layout (0 or 1) on its navy background, framed panels and marker
// arrows, at a day/night level; with `steam` the steam points framed in red. Opaque.
RgbaImage DrawVehiclePicture(const VehicleRec& rec, bool zoom2, int zoom, int layout,
                             NightLevel level, bool steam);
// The canvas's pixels as an opaque picture.
RgbaImage CanvasPicture(const Canvas& canvas);

}  // namespace rvk
