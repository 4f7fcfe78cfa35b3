// Where the vehicle window places its eight views, their framed panels and the small
// marker images at a zoom, in both arrangements; and where the steam point markers
// of the side views lie. Coordinates are those of the scrolled area in screen pixels.
#pragma once

#include <array>

#include "records/vehicle.h"

namespace rvk {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }  // exclusive
    int bottom() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

// 0: end views below the right side view; 1: end views right of the left side view.
inline constexpr int kLayoutBelow = 0;
inline constexpr int kLayoutBeside = 1;

enum LayoutPanel : int { kPanelLeft = 0, kPanelRight, kPanelS, kPanelN, kPanelCount };
// Marker images: arrows beside the side views and under the end views.
enum LayoutImage : int { kImgLeft = 0, kImgRight, kImgS, kImg2N, kImg2S, kImgN, kImageCount };

inline constexpr int kPanelFrame = 1;                  // sky-blue frame of every panel
inline constexpr int kPanelInset = 2 * kPanelFrame;    // frame and an inner margin
inline constexpr int kPanelGap = 9;                    // between panels
inline constexpr int kLayoutLeft = 8, kLayoutTop = 9;  // the first panel's place
inline constexpr int kSideImageWidth = 11;
inline constexpr int kColumnImageHeight = 7;
inline constexpr int kColumnGap = 3;  // before and after an extra end view

inline constexpr RgbColor kScrollAreaColor = MakeRgb(0x00, 0x00, 0x80);  // navy
inline constexpr RgbColor kPanelFrameColor = MakeRgb(0xA6, 0xCA, 0xF0);  // sky blue
inline constexpr RgbColor kPanelColor = MakeRgb(0x00, 0x70, 0x00);       // as a transparent pixel

struct VehicleLayout {
    std::array<Rect, kViewCount> views;  // each view's paint box, view index order
    std::array<bool, kViewCount> shown{};
    std::array<Rect, kPanelCount> panels;
    std::array<Rect, kImageCount> images;
    // The one-pixel lines between roof and end view in the two columns; empty at zoom 1.
    Rect lineS, lineN;
    // Everything with the same margin right and below as left and above.
    int extentWidth = 0;
    int extentHeight = 0;
};

// The arrangement for a vehicle's current sizes and ExtraViews bit at a zoom, with the
// normal or the Zoom2 sizes.
VehicleLayout LayoutViews(const VehicleRec& rec, bool zoom2, int zoom, int layout);

// Cell rectangles (corners as DrawSelectionFrame takes them) of one steam point in
// side view 0 or 1, in visible-row coordinates: its own cell and the box rising from it.
struct SteamMarker {
    int x0, y0;  // the point's cell
    int x1, y1;  // opposite corner of the box
};
// Steam point i (< SteamCount) as side view `view` shows it; the box may reach above
// the view, callers clip.
SteamMarker SteamMarkerOf(const VehicleRec& rec, int view, bool zoom2, int point);

}  // namespace rvk
