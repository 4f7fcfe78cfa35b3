// The selection as the clipboard carries it, and the mirror and rotate transforms.
// The payload is 4 + 4 * w * h bytes, little-endian: width and height as unsigned
// 16-bit numbers, then the pixel words row by row from the top row, each row from
// its left column.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/draw_tools.h"
#include "model/vehicle.h"

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

std::vector<std::uint8_t> EncodeImagePayload(const ClipImage& image);
// Nothing when the block is shorter than its header or than the pixels it announces:
// a cut-off payload is refused rather than pasted in part. Bytes beyond the pixels
// are ignored, since the system may hand over a block larger than was put.
std::optional<ClipImage> DecodeImagePayload(std::span<const std::uint8_t> block);

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
