// The selection as the clipboard carries it: 4 + 4 * w * h bytes, little-endian: width
// and height as unsigned 16-bit numbers, then the pixel words row by row from the top
// row, each row from its left column.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "records/image_clip.h"

namespace rvk {

std::vector<std::uint8_t> EncodeImagePayload(const ClipImage& image);
// Nothing when the block is shorter than its header or than the pixels it announces:
// a cut-off payload is refused rather than pasted in part. Bytes beyond the pixels
// are ignored, since the system may hand over a block larger than was put.
std::optional<ClipImage> DecodeImagePayload(std::span<const std::uint8_t> block);

}  // namespace rvk
