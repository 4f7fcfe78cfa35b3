// PNG files of 8-bit RGBA pictures, read and written with libpng, with room for one
// private chunk of the program's own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/rgba_image.h"

namespace rvk {

// A chunk type: four ASCII letters.
using PngChunkName = std::array<char, 4>;

struct PngChunk {
    PngChunkName name{};
    std::span<const std::uint8_t> data;
};

// An 8-bit PNG of the picture, RGBA or (withAlpha false) RGB with the alpha bytes
// dropped; `chunk` (when it has a name) goes before the image data. On failure
// nothing and the reason in `error`.
std::optional<std::vector<std::uint8_t>> EncodePng(const RgbaImage& image, bool withAlpha,
                                                   const PngChunk& chunk, std::string& error);

struct PngReadLimits {
    int maxWidth = 0;
    int maxHeight = 0;
    PngChunkName chunk{};  // the private chunk to hand back, if any
    std::size_t maxChunkBytes = 0;
};

struct DecodedPng {
    RgbaImage image;
    // The private chunk's data when it occurs exactly once.
    std::optional<std::vector<std::uint8_t>> chunk;
};

// Any PNG (palette, grey, 16-bit, interlaced, with or without transparency) as 8-bit
// RGBA. A picture larger than the limits is refused from its header, before its
// pixels are allocated. On failure nothing and a short reason in `error`.
std::optional<DecodedPng> DecodePng(std::span<const std::uint8_t> bytes,
                                    const PngReadLimits& limits, std::string& error);

}  // namespace rvk
