#include "records/render.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace rvk {

namespace {

bool SeeThrough(PixelValue pixel) {
    return (pixel & 0x80000000u) != 0;
}

}  // namespace

Canvas SubCanvas(const Canvas& canvas, int x, int y, int width, int height) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height || width <= 0 || height <= 0)
        return Canvas{nullptr, 0, 0, canvas.stride, canvas.color};
    Canvas sub = canvas;
    sub.bits = canvas.bits + static_cast<std::ptrdiff_t>(y) * canvas.stride + x;
    sub.width = std::min(width, canvas.width - x);
    sub.height = std::min(height, canvas.height - y);
    return sub;
}

void SetCanvasColor(Canvas& canvas, PixelValue pixel, NightLevel level) {
    canvas.color = ScreenWord(DisplayColor(pixel, level));
}

void FillRect(Canvas& canvas, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, canvas.width);
    bottom = std::min(bottom, canvas.height);
    if (left >= right) return;
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* line = canvas.bits + static_cast<std::ptrdiff_t>(y) * canvas.stride;
        std::fill(line + left, line + right, canvas.color);
    }
}

void SetScreenPixel(Canvas& canvas, int x, int y, RgbColor color) {
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    canvas.bits[static_cast<std::ptrdiff_t>(y) * canvas.stride + x] = ScreenWord(color);
}

void DrawPixelCell(Canvas& canvas, PixelValue pixel, int x, int y, NightLevel level, int zoom) {
    const int left = x * zoom, top = y * zoom;
    const int right = left + zoom, bottom = top + zoom;
    SetCanvasColor(canvas, pixel, level);
    FillRect(canvas, left, top, right, bottom);
    if (zoom > 1 && SeeThrough(pixel))
        SetScreenPixel(canvas, left + (right - left) / 2, top + (bottom - top) / 2,
                       kSeeThroughMark);
}

void DottedRect(Canvas& canvas, int x0, int y0, int x1, int y1, RgbColor color) {
    for (int y = y0; y <= y1; y += 2)
        for (int x = x0; x <= x1; x += 2) SetScreenPixel(canvas, x, y, color);
}

void DrawSelectionFrame(Canvas& canvas, int xa, int ya, int xb, int yb, int zoom, RgbColor color) {
    const int left = std::min(xa, xb) * zoom, top = std::min(ya, yb) * zoom;
    const int right = (std::max(xa, xb) + 1) * zoom - 1;
    const int bottom = (std::max(ya, yb) + 1) * zoom - 1;
    DottedRect(canvas, left, top, right, top, color);
    DottedRect(canvas, left, bottom, right, bottom, color);
    DottedRect(canvas, left, top, left, bottom, color);
    DottedRect(canvas, right, top, right, bottom, color);
}

void PaintViewCells(Canvas& canvas, int originX, int originY, const PixelValue* plane, int stride,
                    int rowOffset, int width, int height, int zoom, NightLevel level,
                    std::optional<RgbColor> behind) {
    if (zoom < 1 || width <= 0 || height <= 0) return;
    // Cells that reach into the canvas at all.
    const int firstCol = originX >= 0 ? 0 : (-originX) / zoom;
    const int endCol = std::min(width, (canvas.width - originX + zoom - 1) / zoom);
    const int firstRow = originY >= 0 ? 0 : (-originY) / zoom;
    const int endRow = std::min(height, (canvas.height - originY + zoom - 1) / zoom);
    if (firstCol >= endCol || firstRow >= endRow) return;
    const int clipLeft = std::max(originX + firstCol * zoom, 0);
    const int clipRight = std::min(originX + endCol * zoom, canvas.width);
    const int half = zoom / 2;
    const bool marks = zoom > 1 && !behind;
    const std::uint32_t behindWord = behind ? ScreenWord(*behind) : 0;

    for (int row = firstRow; row < endRow; ++row) {
        const int top = originY + row * zoom;
        const int y0 = std::max(top, 0), y1 = std::min(top + zoom, canvas.height);
        const PixelValue* src = plane + static_cast<std::ptrdiff_t>(row + rowOffset) * stride;
        std::uint32_t* first = canvas.bits + static_cast<std::ptrdiff_t>(y0) * canvas.stride;
        // One scan line with every cell's colour, computed once per cell.
        bool anyMark = false;
        for (int col = firstCol; col < endCol; ++col) {
            const PixelValue pixel = src[col];
            const std::uint32_t word = behind && pixel == kTransparent
                                           ? behindWord
                                           : ScreenWord(DisplayColor(pixel, level));
            const int left = originX + col * zoom;
            const int x0 = std::max(left, clipLeft), x1 = std::min(left + zoom, clipRight);
            std::fill(first + x0, first + x1, word);
            anyMark |= marks && SeeThrough(pixel);
        }
        const std::size_t bytes = static_cast<std::size_t>(clipRight - clipLeft) * 4;
        for (int y = y0 + 1; y < y1; ++y)
            std::memcpy(canvas.bits + static_cast<std::ptrdiff_t>(y) * canvas.stride + clipLeft,
                        first + clipLeft, bytes);
        const int markY = top + half;
        if (!anyMark || markY < y0 || markY >= y1) continue;
        std::uint32_t* markLine = canvas.bits + static_cast<std::ptrdiff_t>(markY) * canvas.stride;
        for (int col = firstCol; col < endCol; ++col) {
            const int markX = originX + col * zoom + half;
            if (SeeThrough(src[col]) && markX >= clipLeft && markX < clipRight)
                markLine[markX] = ScreenWord(kSeeThroughMark);
        }
    }
}

void PaintVehicleView(Canvas& canvas, const VehicleRec& rec, int view, bool zoom2, int zoom,
                      NightLevel level, std::optional<RgbColor> behind) {
    const ConstPlaneRef ref = PlaneOf(&rec, view, zoom2);
    if (!ref.plane) return;
    const ViewSize size = ViewGeometry(&rec, view, zoom2);
    // Sizes beyond the plane never reach here from a reader; cut them all the same.
    const int rowOffset = std::max(RowOffset(rec, view, zoom2), 0);
    const int width = std::min(size.width, ref.width);
    const int height = std::min(size.height, ref.height - rowOffset);
    PaintViewCells(canvas, 0, 0, ref.plane->data(), ref.width, rowOffset, width, height, zoom,
                   level, behind);
}

void FloodFill(PixelValue* plane, int width, int height, int x, int y, PixelValue newValue) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const auto at = [&](int cx, int cy) -> PixelValue& {
        return plane[static_cast<std::ptrdiff_t>(cy) * width + cx];
    };
    const PixelValue old = at(x, y);
    if (old == newValue) return;

    struct Seed {
        int x, y;
    };
    std::vector<Seed> queue{{x, y}};
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Seed seed = queue[head];
        int last = seed.x;
        for (int cx = seed.x; cx < width && at(cx, seed.y) == old; ++cx)
            at(cx, seed.y) = newValue, last = cx;
        int first = seed.x;
        for (int cx = seed.x - 1; cx >= 0 && at(cx, seed.y) == old; --cx)
            at(cx, seed.y) = newValue, first = cx;
        for (const int ny : {seed.y - 1, seed.y + 1}) {
            if (ny < 0 || ny >= height) continue;
            bool inRun = false;
            for (int cx = first; cx <= last; ++cx) {
                const bool match = at(cx, ny) == old;
                if (match && !inRun) queue.push_back({cx, ny});
                inRun = match;
            }
        }
    }
}

void DrawCellGrid(Canvas& canvas, int zoom) {
    if (zoom < kCellGridMinZoom) return;
    const auto dim = [](std::uint32_t& word) { word = ((word >> 1) & 0x7F7F7Fu) + 0xFF404040u; };
    for (int y = 0; y < canvas.height; ++y) {
        std::uint32_t* line = canvas.bits + static_cast<std::ptrdiff_t>(y) * canvas.stride;
        if (y % zoom == 0) {
            for (int x = 0; x < canvas.width; ++x) dim(line[x]);
        } else {
            for (int x = 0; x < canvas.width; x += zoom) dim(line[x]);
        }
    }
}

}  // namespace rvk
