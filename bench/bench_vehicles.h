// Vehicles for the file benchmarks: full-size, with graphics shaped like real drawings
// (an outline, body colour, framed windows, stripes, lamps, bogies and a sprinkle of
// single detail pixels), so the run lengths are those of real files.
#pragma once

#include <random>

#include "records/vehicle.h"

namespace rvk::bench {

inline void PaintView(VehicleRec& v, int view, bool zoom2, std::mt19937& rng) {
    const PixelValue body = 0x00000000u | (rng() & 0x00FFFFFF);
    const PixelValue stripe = rng() & 0x00FFFFFF;
    const PixelValue roof = 0x00808080u;
    const PixelValue frame = 0x00202020u;
    const PixelValue glass = 0x61000000u | (rng() & 0x00FFFFFF);
    const PixelValue lamp = (rng() % 2) ? 0x50FFFFFFu : 0x51FF0000u;
    const PlaneRef ref = PlaneOf(&v, view, zoom2);
    const ViewSize size = ViewGeometry(&v, view, zoom2);
    const int top = RowOffset(v, view, zoom2);
    const int w = size.width;
    const int h = size.height;
    const int unit = zoom2 ? 2 : 1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            PixelValue p = body;
            if (IsSideView(view)) {
                const int wx = x % (24 * unit);
                if (y < h / 7) {
                    p = (x >= 3 * unit && x < w - 3 * unit) ? roof : kTransparent;
                } else if (y >= h / 4 && y < h / 2) {
                    const bool edge =
                        y == h / 4 || y == h / 2 - 1 || wx == 4 * unit || wx == 19 * unit;
                    p = (wx >= 4 * unit && wx < 20 * unit) ? (edge ? frame : glass) : body;
                } else if (y == h / 2 + unit) {
                    p = stripe;
                } else if (y >= h - h / 5) {
                    p = (x % (64 * unit) < 20 * unit) ? frame : kTransparent;
                }
            } else if (IsRoofView(view)) {
                p = (y % (30 * unit) < 4 * unit && x > unit && x < w - 1 - unit) ? frame : roof;
            } else {
                if (y < h / 6)
                    p = roof;
                else if (y >= h / 5 && y < h / 2 && x % (w / 2) > unit &&
                         x % (w / 2) < w / 2 - unit)
                    p = glass;
                else if (y == h - 2 * unit && (x < 2 * unit || x >= w - 2 * unit))
                    p = lamp;
            }
            if (rng() % 40 == 0) p = rng() & 0x00FFFFFF;
            ref.plane->set(x, y + top, p);
        }
    }
}

// The largest vehicle the editor allows, eight views, with Zoom2 graphics.
inline VehicleRec LargestVehicle(std::uint32_t seed) {
    VehicleRec v;
    v.Length = 256;
    v.HeightS = 14;
    v.Width = 16;
    v.HeightF = 14;
    v.SteamCount = 3;
    v.Steam = {10, 2, 5, 120, 2, 5, 240, 2, 5};
    for (int i = 0; i < 5; ++i)
        v.Info[i] = "Vehicle " + std::to_string(seed) + " info " + std::to_string(i);
    std::mt19937 rng(seed);
    for (int view = 0; view < kViewCount; ++view) PaintView(v, view, false, rng);
    DeriveZoom2(v, "Zoom2 graphics");
    for (int view = 0; view < kViewCount; ++view) PaintView(v, view, true, rng);
    return v;
}

// Every pixel of every plane at both scales differs from its neighbours: the worst
// case of the run-length coding, one literal word per pixel.
inline void FillWithNoise(VehicleRec& v, std::uint32_t seed) {
    std::mt19937 rng(seed);
    for (auto* planes : {&v.Planes, &v.Zoom2Planes})
        for (Plane& plane : *planes) {
            PixelValue* d = plane.mutableData();
            for (std::size_t i = 0; i < plane.size(); ++i) d[i] = rng() & 0x00FFFFFF;
        }
}

}  // namespace rvk::bench
