// Pixel words and colour types: what a vehicle pixel holds and how it looks on screen.
#pragma once

#include <cstdint>

namespace rvk {

// Type byte in bits 24..31, blue 16..23, green 8..15, red 0..7.
using PixelValue = std::uint32_t;
// Screen colour in the same byte order as the low 24 bits of a PixelValue.
using RgbColor = std::uint32_t;

inline constexpr PixelValue kTransparent = 0x80000001u;
inline constexpr PixelValue kHalfTransparent = 0x80000000u;

// Index into the twelve colour types offered by the tool panel.
using ColorType = int;
inline constexpr int kColorTypeCount = 12;
inline constexpr ColorType kTypeNormal = 0;
inline constexpr ColorType kTypeTransparent = 1;
inline constexpr ColorType kTypeHalfTransparent = 2;

// Day/night preview: 0 daylight, 1..3 night with window groups 0, 0+1, 0+1+2 lit.
using NightLevel = int;

ColorType ColorTypeOf(PixelValue pixel);
// The pixel of a colour type with the given colour (low 24 bits); the two
// see-through types ignore the colour.
PixelValue PixelOfType(ColorType type, RgbColor color);
RgbColor DisplayColor(PixelValue pixel, NightLevel level);
// Inline: the plane codings apply it to every pixel of a file.
inline constexpr PixelValue SwapRB(PixelValue pixel) {
    if (pixel == kTransparent) return pixel;
    return (pixel & 0xFF00FF00u) | ((pixel & 0xFFu) << 16) | ((pixel >> 16) & 0xFFu);
}
PixelValue HostPalette(std::uint8_t code);

inline constexpr std::uint8_t RedOf(RgbColor c) { return static_cast<std::uint8_t>(c); }
inline constexpr std::uint8_t GreenOf(RgbColor c) { return static_cast<std::uint8_t>(c >> 8); }
inline constexpr std::uint8_t BlueOf(RgbColor c) { return static_cast<std::uint8_t>(c >> 16); }
inline constexpr RgbColor MakeRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return RgbColor{r} | (RgbColor{g} << 8) | (RgbColor{b} << 16);
}

}  // namespace rvk
