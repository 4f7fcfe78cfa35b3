// Vehicle pixels as PNG files for other programs, and back.
//
// A picture is plain RGBA: transparent pixels have alpha 0, every other pixel its
// daylight colour. The exact pixel values ride along in the private chunk "rvPV"
// (ancillary, private, unsafe to copy: a program that edits the pixels drops it),
// holding the clipboard payload of the same pixels. On reading, the chunk is used only
// when it is well-formed and every pixel of the picture is what the chunk's value
// would give; otherwise alpha below 128 reads as transparent and the rest as Normal
// colours.
//
// The types picture NAME.types.png paints each pixel in the fixed colour of its colour
// type (transparent: alpha 0), so the lighting can be kept as a layer elsewhere.
// Read beside a picture, it decides each opaque pixel's type; its colour comes from
// the picture. A pixel of a colour that names no type counts as Normal.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/png_codec.h"
#include "records/image_clip.h"

namespace rvk {

inline constexpr PngChunkName kPixelChunk = {'r', 'v', 'P', 'V'};
// A picture may be at most this many times a plane's size in each direction.
inline constexpr int kPictureOversize = 4;

// Colour of each ColorType in the types picture, as red, green, blue, alpha.
using Rgba = std::array<std::uint8_t, 4>;
Rgba TypeLegendColor(ColorType type);

// The picture as other programs see it, and the types picture of the same pixels.
RgbaImage DaylightPicture(const ClipImage& image);
RgbaImage TypesPicture(const ClipImage& image);

// PNG files of both; on failure nothing and the reason in `error`.
std::optional<std::vector<std::uint8_t>> EncodePicturePng(const ClipImage& image,
                                                          std::string& error);
std::optional<std::vector<std::uint8_t>> EncodeTypesPng(const ClipImage& image, std::string& error);

// "a/b.png" gives "a/b.types.png"; a name without ".png" gets ".types.png" appended.
std::string TypesPictureName(const std::string& picturePath);

struct PictureRead {
    ClipImage image;
    bool exact = false;         // the chunk's values were used
    bool chunkIgnored = false;  // a chunk was there but did not agree with the picture
    int unknownTypes = 0;       // types-picture pixels of no type's colour
};

// Which file a read failed on, and why (a phrase to follow the file's name).
struct PictureReadError {
    bool inTypesPicture = false;
    std::string reason;
};

// Pixels of a picture (and its types picture, if given) for a plane of the given
// size: either picture larger than kPictureOversize times the plane in a direction is
// refused. Both must have the same size.
std::optional<PictureRead> DecodePicturePng(std::span<const std::uint8_t> picture,
                                            std::optional<std::span<const std::uint8_t>> types,
                                            int planeWidth, int planeHeight,
                                            PictureReadError& error);

}  // namespace rvk
