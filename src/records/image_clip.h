// A block of pixels cut from a plane, and the mirror and rotate transforms.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "records/draw_tools.h"
#include "records/vehicle.h"

namespace rvk {

// A block of pixels, row by row.
struct ClipImage {
    int width = 0;
    int height = 0;
    std::vector<PixelValue> pixels;

    PixelValue at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The pixels inside r, which must lie within the plane.
ClipImage CopyImage(ConstPlaneRef plane, CellRect r);

// The daylight screen colours of the image, row by row, for the plain bitmap.
std::vector<RgbColor> ImageDisplayColors(const ClipImage& image);

// A picture from another program as Normal colours. Its pixels are 0xAARRGGBB words
// (alpha ignored), row by row, each row `stride` words after the one above. Only the
// top-left part within maxWidth x maxHeight is taken: another program may offer a
// picture far larger than any view. Nothing when the words are fewer than the
// geometry claims or the rows would overlap.
std::optional<ClipImage> ImageFromRgb(std::span<const std::uint32_t> rgb, int width, int height,
                                      std::size_t stride, int maxWidth, int maxHeight);

// Writes the image with its top-left pixel at (x, y); whatever falls beyond the
// plane's right or bottom edge is dropped, whether or not the view shows those cells.
void PasteImage(PlaneRef plane, int x, int y, const ClipImage& image);

enum class TransformKind { MirrorLeftRight = 1, MirrorTopBottom = 2, Rotate180 = 3 };

// Mirrors or rotates the pixels inside r, which must lie within the plane.
void TransformRect(PlaneRef plane, CellRect r, TransformKind kind);

}  // namespace rvk
