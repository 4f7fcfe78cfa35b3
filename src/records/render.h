// Drawing vehicle graphics magnified onto a plain 32-bit RGB raster, and the flood
// fill of the fill tool. The raster's words are 0xffRRGGBB, the layout of a
// QImage::Format_RGB32 scan line, so a window can hand its image's bits straight in.
#pragma once

#include <cstdint>
#include <optional>

#include "records/pixel.h"
#include "records/vehicle.h"

namespace rvk {

struct Canvas {
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // words from one scan line to the next
    // Outline and fill colour as a raster word, set by SetCanvasColor.
    std::uint32_t color = 0xff000000u;
};

// The raster word of a screen colour (RgbColor keeps red in the low byte).
inline constexpr std::uint32_t ScreenWord(RgbColor c) {
    return 0xff000000u | (std::uint32_t{RedOf(c)} << 16) | (std::uint32_t{GreenOf(c)} << 8) |
           BlueOf(c);
}
// The screen colour of a raster word.
inline constexpr RgbColor RgbOfWord(std::uint32_t word) {
    return MakeRgb(static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                   static_cast<std::uint8_t>(word));
}

// Grey dot that marks a transparent or half-transparent cell.
inline constexpr RgbColor kSeeThroughMark = MakeRgb(0x80, 0x80, 0x80);

// The part of a canvas that starts at (x, y), cut to the canvas; drawing into it is
// clipped to that part. Empty when (x, y) lies outside the canvas.
Canvas SubCanvas(const Canvas& canvas, int x, int y, int width, int height);

void SetCanvasColor(Canvas& canvas, PixelValue pixel, NightLevel level);
// Fills the rectangle [left, right) x [top, bottom) with the canvas colour, clipped.
void FillRect(Canvas& canvas, int left, int top, int right, int bottom);
void SetScreenPixel(Canvas& canvas, int x, int y, RgbColor color);

// Cell (x, y) of a view: a zoom x zoom square in the pixel's display colour, with a
// grey dot in the middle of see-through cells when zoom > 1.
void DrawPixelCell(Canvas& canvas, PixelValue pixel, int x, int y, NightLevel level, int zoom);
// Every second screen pixel of x0..x1 by y0..y1 (inclusive), starting at (x0, y0).
void DottedRect(Canvas& canvas, int x0, int y0, int x1, int y1, RgbColor color);
// Dotted frame on the outermost screen pixels of the cells between two corners given
// in any order.
void DrawSelectionFrame(Canvas& canvas, int xa, int ya, int xb, int yb, int zoom, RgbColor color);
// The cell grid at zoom 6 and above: the first screen row and column of every cell
// dimmed halfway towards grey, so it reads as a line over any colour and never as a
// pixel of the vehicle. Nothing below zoom 6.
inline constexpr int kCellGridMinZoom = 6;
void DrawCellGrid(Canvas& canvas, int zoom);

// The visible area of a view, cell (x, y) at (originX + x * zoom, originY + y * zoom):
// the same pixels as DrawPixelCell for each cell, written a scan line at a time.
// Visible row y is plane row y + rowOffset; stride is the plane width. With `behind`,
// transparent cells show that colour and no cell is marked, as the simulation shows
// the vehicle in front of a background.
void PaintViewCells(Canvas& canvas, int originX, int originY, const PixelValue* plane, int stride,
                    int rowOffset, int width, int height, int zoom, NightLevel level,
                    std::optional<RgbColor> behind = std::nullopt);
// PaintViewCells for view `view` of a vehicle at the chosen scale, cell (0, 0) at the
// canvas origin.
void PaintVehicleView(Canvas& canvas, const VehicleRec& rec, int view, bool zoom2, int zoom,
                      NightLevel level, std::optional<RgbColor> behind = std::nullopt);

// Replaces the 4-connected area of pixels equal to the one at (x, y) by newValue.
// A seed outside the rectangle changes nothing.
void FloodFill(PixelValue* plane, int width, int height, int x, int y, PixelValue newValue);

}  // namespace rvk
