#include "formats/png_exchange.h"

#include <algorithm>
#include <cctype>

#include "formats/image_payload.h"

namespace rvk {

namespace {

// Far apart from each other so that a painter's brush hits them exactly; the README
// shows the same table.
constexpr std::array<Rgba, kColorTypeCount> kLegend = {{
    {0x80, 0x80, 0x80, 0xFF},  // Normal: grey
    {0x00, 0x00, 0x00, 0x00},  // Transparent: no colour
    {0x00, 0x32, 0x64, 0xFF},  // Half-transparent: dark blue, as on screen
    {0xFF, 0x00, 0xFF, 0xFF},  // Light: magenta
    {0xFF, 0xFF, 0xFF, 0xFF},  // Lamp, white at night: white
    {0xFF, 0x00, 0x00, 0xFF},  // Lamp, red at night: red
    {0xFF, 0xC0, 0x00, 0xFF},  // Window0 yellow
    {0xC0, 0x80, 0x00, 0xFF},  // Window1 yellow
    {0x80, 0x40, 0x00, 0xFF},  // Window2 yellow
    {0x00, 0xFF, 0xFF, 0xFF},  // Window0 neon
    {0x00, 0xA0, 0xC0, 0xFF},  // Window1 neon
    {0x00, 0x60, 0x80, 0xFF},  // Window2 neon
}};

Rgba DaylightOf(PixelValue p) {
    if (p == kTransparent) return {0, 0, 0, 0};
    const RgbColor c = DisplayColor(p, 0);
    return {RedOf(c), GreenOf(c), BlueOf(c), 0xFF};
}

bool Opaque(const std::uint8_t* rgba) {
    return rgba[3] >= 128;
}

RgbColor ColorOf(const std::uint8_t* rgba) {
    return MakeRgb(rgba[0], rgba[1], rgba[2]);
}

// The type a types-picture pixel names; nothing for a colour of no type.
std::optional<ColorType> TypeOfLegend(const std::uint8_t* rgba) {
    if (!Opaque(rgba)) return kTypeTransparent;
    for (ColorType t = 0; t < kColorTypeCount; ++t)
        if (t != kTypeTransparent && std::equal(kLegend[t].begin(), kLegend[t].begin() + 3, rgba))
            return t;
    return std::nullopt;
}

template <typename F>
RgbaImage Picture(const ClipImage& image, F colorOf) {
    RgbaImage out(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const Rgba c = colorOf(image.at(x, y));
            std::copy(c.begin(), c.end(), out.at(x, y));
        }
    return out;
}

// The chunk's pixels when they are exactly what the picture shows.
std::optional<ClipImage> AgreeingChunk(const std::vector<std::uint8_t>& chunk,
                                       const RgbaImage& picture) {
    auto values = DecodeImagePayload(chunk);
    if (!values || values->width != picture.width || values->height != picture.height ||
        chunk.size() != 4 + 4 * values->pixels.size())
        return std::nullopt;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const Rgba c = DaylightOf(values->at(x, y));
            if (!std::equal(c.begin(), c.end(), picture.at(x, y))) return std::nullopt;
        }
    return values;
}

std::string SizeText(int w, int h) {
    return std::to_string(w) + " x " + std::to_string(h);
}

}  // namespace

Rgba TypeLegendColor(ColorType type) {
    return kLegend[std::clamp(type, 0, kColorTypeCount - 1)];
}

RgbaImage DaylightPicture(const ClipImage& image) {
    return Picture(image, DaylightOf);
}

RgbaImage TypesPicture(const ClipImage& image) {
    return Picture(image, [](PixelValue p) { return kLegend[ColorTypeOf(p)]; });
}

std::optional<std::vector<std::uint8_t>> EncodePicturePng(const ClipImage& image,
                                                          std::string& error) {
    const std::vector<std::uint8_t> payload = EncodeImagePayload(image);
    return EncodePng(DaylightPicture(image), true, PngChunk{kPixelChunk, payload}, error);
}

std::optional<std::vector<std::uint8_t>> EncodeTypesPng(const ClipImage& image,
                                                        std::string& error) {
    return EncodePng(TypesPicture(image), true, PngChunk{}, error);
}

std::string TypesPictureName(const std::string& picturePath) {
    constexpr std::string_view kExt = ".png";
    const std::size_t slash = picturePath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string stem = picturePath;
    if (picturePath.size() - nameStart > kExt.size()) {
        std::string tail = picturePath.substr(picturePath.size() - kExt.size());
        std::transform(tail.begin(), tail.end(), tail.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (tail == kExt) stem.resize(picturePath.size() - kExt.size());
    }
    return stem + ".types.png";
}

std::optional<PictureRead> DecodePicturePng(std::span<const std::uint8_t> picture,
                                            std::optional<std::span<const std::uint8_t>> types,
                                            int planeWidth, int planeHeight,
                                            PictureReadError& error) {
    PngReadLimits limits;
    limits.maxWidth = planeWidth * kPictureOversize;
    limits.maxHeight = planeHeight * kPictureOversize;
    limits.chunk = kPixelChunk;
    limits.maxChunkBytes = 4 + 4 * std::size_t(limits.maxWidth) * std::size_t(limits.maxHeight);
    error = PictureReadError{};
    auto main = DecodePng(picture, limits, error.reason);
    if (!main) return std::nullopt;
    std::optional<DecodedPng> legend;
    if (types) {
        limits.chunk = PngChunkName{};
        legend = DecodePng(*types, limits, error.reason);
        if (legend && (legend->image.width != main->image.width ||
                       legend->image.height != main->image.height)) {
            error.reason = "is " + SizeText(legend->image.width, legend->image.height) +
                           " pixels, not the " + SizeText(main->image.width, main->image.height) +
                           " of its picture";
            legend.reset();
        }
        if (!legend) {
            error.inTypesPicture = true;
            return std::nullopt;
        }
    }

    const RgbaImage& rgba = main->image;
    PictureRead read;
    if (main->chunk) {
        if (auto values = AgreeingChunk(*main->chunk, rgba)) {
            read.image = std::move(*values);
            read.exact = true;
        } else {
            read.chunkIgnored = true;
        }
    }
    if (!read.exact) {
        read.image = ClipImage{rgba.width, rgba.height, {}};
        read.image.pixels.reserve(static_cast<std::size_t>(rgba.width) * rgba.height);
        for (int y = 0; y < rgba.height; ++y)
            for (int x = 0; x < rgba.width; ++x) {
                const std::uint8_t* p = rgba.at(x, y);
                read.image.pixels.push_back(Opaque(p) ? PixelOfType(kTypeNormal, ColorOf(p))
                                                      : kTransparent);
            }
    }
    if (legend) {
        for (int y = 0; y < rgba.height; ++y)
            for (int x = 0; x < rgba.width; ++x) {
                const std::uint8_t* p = rgba.at(x, y);
                if (!Opaque(p)) continue;  // an erased pixel stays erased
                auto type = TypeOfLegend(legend->image.at(x, y));
                if (!type) ++read.unknownTypes, type = kTypeNormal;
                PixelValue& value = read.image.pixels[static_cast<std::size_t>(y) * rgba.width + x];
                // An exact value of the same type keeps its type byte.
                if (ColorTypeOf(value) != *type) value = PixelOfType(*type, ColorOf(p));
            }
    }
    return read;
}

}  // namespace rvk
