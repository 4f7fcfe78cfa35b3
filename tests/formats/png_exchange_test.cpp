// Pixels to PNG and back: exact values through the private chunk, foreign pictures of
// every PNG pixel format mapped to colours, the types picture, and refusals.
#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <random>

#include "formats/image_payload.h"
#include "formats/png_exchange.h"

namespace rvk {
namespace {

// A PNG as another program would write it: any colour type, depth and interlacing.
// `samples` holds each row's samples in the file's own layout (before packing).
struct ForeignPng {
    int colorType = PNG_COLOR_TYPE_RGB;
    int depth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
};

void Append(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

std::vector<std::uint8_t> WriteForeign(const ForeignPng& f, int w, int h,
                                       std::vector<std::vector<png_byte>> rows) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        ADD_FAILURE() << "libpng refused the test picture";
        return {};
    }
    png_set_write_fn(png, &out, Append, nullptr);
    png_set_IHDR(png, info, w, h, f.depth, f.colorType,
                 f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!f.palette.empty())
        png_set_PLTE(png, info, f.palette.data(), static_cast<int>(f.palette.size()));
    if (!f.paletteAlpha.empty())
        png_set_tRNS(png, info, f.paletteAlpha.data(), static_cast<int>(f.paletteAlpha.size()),
                     nullptr);
    png_write_info(png, info);
    if (f.depth < 8) png_set_packing(png);
    if (f.depth == 16) png_set_swap(png);  // rows below hold 16-bit samples little-endian
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

PictureRead Decode(const std::vector<std::uint8_t>& bytes, int planeW = 256, int planeH = 14,
                   const std::vector<std::uint8_t>* types = nullptr) {
    PictureReadError error;
    auto read = DecodePicturePng(
        bytes, types ? std::optional<std::span<const std::uint8_t>>(*types) : std::nullopt, planeW,
        planeH, error);
    EXPECT_TRUE(read) << error.reason;
    return read.value_or(PictureRead{});
}

TEST(PngExchange, ForeignPixelFormatsReadAsColours) {
    const PixelValue N = kTransparent;
    struct Case {
        const char* name;
        ForeignPng format;
        std::vector<std::vector<png_byte>> rows;  // 3 x 2 pixels
        std::vector<PixelValue> expected;
    };
    const auto grey = [](std::uint8_t g) { return PixelOfType(kTypeNormal, MakeRgb(g, g, g)); };
    const Case cases[] = {
        {"rgba, alpha 127 and 128",
         {PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}},
         {{1, 2, 3, 255, 9, 9, 9, 127, 4, 5, 6, 128}, {0, 0, 0, 0, 255, 0, 0, 255, 7, 8, 9, 200}},
         {0x00030201u, N, 0x00060504u, N, 0x000000FFu, 0x00090807u}},
        {"16-bit rgba scaled to 8 bits",
         {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {}, {}},
         {{0xFF, 0xFF, 0x00, 0x80, 0,    0,    0xFF, 0xFF,  // (ffff, 8000, 0, ffff)
           0,    0,    0,    0,    0,    0,    0,    0,     // alpha 0
           0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A, 0xFF, 0xFF},
          std::vector<png_byte>(24, 0xFF)},
         {0x000080FFu, N, 0x009A5612u, 0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu}},
        {"palette with transparency",
         {PNG_COLOR_TYPE_PALETTE, 4, false, {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}}, {255, 0}},
         {{0, 1, 2}, {2, 1, 0}},
         {0x001E140Au, N, 0x005A5046u, 0x005A5046u, N, 0x001E140Au}},
        {"grey 2-bit, interlaced",
         {PNG_COLOR_TYPE_GRAY, 2, true, {}, {}},
         {{0, 1, 3}, {2, 3, 0}},
         {grey(0), grey(0x55), grey(0xFF), grey(0xAA), grey(0xFF), grey(0)}},
        {"grey with alpha",
         {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}},
         {{10, 255, 20, 0, 30, 128}, {40, 127, 50, 255, 60, 255}},
         {grey(10), N, grey(30), N, grey(50), grey(60)}},
        {"rgb interlaced",
         {PNG_COLOR_TYPE_RGB, 8, true, {}, {}},
         {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {9, 8, 7, 6, 5, 4, 3, 2, 1}},
         {0x00030201u, 0x00060504u, 0x00090807u, 0x00070809u, 0x00040506u, 0x00010203u}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PictureRead read = Decode(WriteForeign(c.format, 3, 2, c.rows));
        EXPECT_FALSE(read.exact);
        EXPECT_FALSE(read.chunkIgnored);
        ASSERT_EQ(read.image.width, 3);
        ASSERT_EQ(read.image.height, 2);
        EXPECT_EQ(read.image.pixels, c.expected);
    }
}

ClipImage RandomImage(std::minstd_rand& rng, int w, int h) {
    // Every colour type, see-through values and type bytes that name no type.
    const std::uint32_t typeBytes[] = {0x00, 0x40, 0x50, 0x51, 0x60, 0x61,
                                       0x62, 0x64, 0x65, 0x66, 0x63, 0x80};
    ClipImage image{w, h, {}};
    for (int i = 0; i < w * h; ++i) {
        const auto kind = static_cast<std::uint32_t>(rng() % 16);
        image.pixels.push_back(kind == 12   ? kTransparent
                               : kind == 13 ? kHalfTransparent
                               : kind > 13  ? kTransparent
                                            : (typeBytes[kind % 12] << 24) |
                                                 (static_cast<std::uint32_t>(rng()) & 0xFFFFFF));
    }
    return image;
}

TEST(PngExchange, ExactValuesSurviveAndTheTypesPictureAgrees) {
    std::minstd_rand rng(7);
    for (int round = 0; round < 20; ++round) {
        const ClipImage image =
            RandomImage(rng, 1 + static_cast<int>(rng() % 40), 1 + static_cast<int>(rng() % 20));
        std::string error;
        const auto png = EncodePicturePng(image, error);
        const auto types = EncodeTypesPng(image, error);
        ASSERT_TRUE(png && types) << error;
        const PictureRead plain = Decode(*png);
        EXPECT_TRUE(plain.exact);
        EXPECT_EQ(plain.image.pixels, image.pixels);
        const PictureRead withTypes = Decode(*png, 256, 14, &*types);
        EXPECT_TRUE(withTypes.exact);
        EXPECT_EQ(withTypes.image.pixels, image.pixels);
        EXPECT_EQ(withTypes.unknownTypes, 0);

        // Without the chunk the types picture still restores every type.
        const auto bare = EncodePng(DaylightPicture(image), true, PngChunk{}, error);
        ASSERT_TRUE(bare);
        const PictureRead typed = Decode(*bare, 256, 14, &*types);
        for (std::size_t i = 0; i < image.pixels.size(); ++i)
            EXPECT_EQ(ColorTypeOf(typed.image.pixels[i]), ColorTypeOf(image.pixels[i])) << i;
    }
}

TEST(PngExchange, ChunkIsTrustedOnlyWhenItAgrees) {
    const ClipImage image{2, 1, {0x61123456u, kHalfTransparent}};
    const std::vector<std::uint8_t> payload = EncodeImagePayload(image);
    RgbaImage edited = DaylightPicture(image);
    edited.at(0, 0)[0] ^= 1;
    std::vector<std::uint8_t> shortPayload(payload.begin(), payload.end() - 1);
    std::vector<std::uint8_t> longPayload = payload;
    longPayload.push_back(0);
    std::vector<std::uint8_t> otherSize = payload;
    otherSize[0] = 1;
    otherSize.resize(8);
    const struct {
        const char* name;
        RgbaImage picture;
        std::vector<std::uint8_t> chunk;
        bool exact;
    } cases[] = {
        {"as written", DaylightPicture(image), payload, true},
        {"picture edited", edited, payload, false},
        {"chunk cut short", DaylightPicture(image), shortPayload, false},
        {"chunk too long", DaylightPicture(image), longPayload, false},
        {"chunk of another size", DaylightPicture(image), otherSize, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        const auto png = EncodePng(c.picture, true, PngChunk{kPixelChunk, c.chunk}, error);
        ASSERT_TRUE(png) << error;
        const PictureRead read = Decode(*png);
        EXPECT_EQ(read.exact, c.exact);
        EXPECT_EQ(read.chunkIgnored, !c.exact);
        // Untrusted: the picture's own colours, half-transparent as its screen colour.
        EXPECT_EQ(read.image.pixels[1],
                  c.exact ? kHalfTransparent : DisplayColor(kHalfTransparent, 0));
    }
}

TEST(PngExchange, TypesPictureDecidesOpaquePixelsAndCountsStrangers) {
    const ClipImage image{4, 1, {0x00102030u, 0x00405060u, 0x00708090u, 0x40AABBCCu}};
    std::string error;
    RgbaImage picture = DaylightPicture(image);
    picture.at(3, 0)[3] = 0;  // erased in the picture: stays erased whatever the types say
    RgbaImage types = TypesPicture(image);
    const Rgba neon = TypeLegendColor(10);
    std::copy(neon.begin(), neon.end(), types.at(0, 0));
    types.at(1, 0)[0] = 1;  // no type has this colour
    std::copy_n(TypeLegendColor(kTypeTransparent).begin(), 4, types.at(2, 0));
    const auto png = EncodePng(picture, true, PngChunk{}, error);
    const auto typesPng = EncodePng(types, true, PngChunk{}, error);
    ASSERT_TRUE(png && typesPng);
    const PictureRead read = Decode(*png, 256, 14, &*typesPng);
    EXPECT_EQ(read.image.pixels,
              (std::vector<PixelValue>{0x65102030u, 0x00405060u, kTransparent, kTransparent}));
    EXPECT_EQ(read.unknownTypes, 1);
}

TEST(PngExchange, RefusesBadFilesNamingWhich) {
    const ClipImage image{16, 14, std::vector<PixelValue>(16 * 14, 0x00112233u)};
    std::string error;
    const auto good = EncodePicturePng(image, error);
    ASSERT_TRUE(good);
    std::vector<std::uint8_t> truncated(good->begin(), good->begin() + good->size() / 2);
    std::vector<std::uint8_t> damaged = *good;
    damaged[20] ^= 0x55;  // in the header: its checksum fails
    const ClipImage wide{65, 1, std::vector<PixelValue>(65, 0)};
    const ClipImage small{2, 2, std::vector<PixelValue>(4, 0)};
    const auto tooWide = EncodePicturePng(wide, error);
    const auto smallTypes = EncodeTypesPng(small, error);
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l'};
    const struct {
        const char* name;
        std::vector<std::uint8_t> picture;
        std::optional<std::vector<std::uint8_t>> types;
        bool inTypes;
        const char* reason;
    } cases[] = {
        {"not a PNG", text, std::nullopt, false, "is not a PNG image"},
        {"truncated", truncated, std::nullopt, false, "is truncated"},
        {"damaged", damaged, std::nullopt, false, "is damaged"},
        {"four times the plane and one", *tooWide, std::nullopt, false, "is 65 x 1 pixels"},
        {"types picture of another size", *good, *smallTypes, true, "is 2 x 2 pixels, not"},
        {"types picture not a PNG", *good, text, true, "is not a PNG image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PictureReadError failure;
        const auto read = DecodePicturePng(
            c.picture,
            c.types ? std::optional<std::span<const std::uint8_t>>(*c.types) : std::nullopt, 16, 14,
            failure);
        EXPECT_FALSE(read);
        EXPECT_EQ(failure.inTypesPicture, c.inTypes);
        EXPECT_EQ(failure.reason.rfind(c.reason, 0), 0u) << failure.reason;
    }
    // Exactly four times the plane in both directions is still taken.
    const ClipImage largest{64, 56, std::vector<PixelValue>(64 * 56, kTransparent)};
    EXPECT_EQ(Decode(*EncodePicturePng(largest, error), 16, 14).image.pixels, largest.pixels);
}

TEST(PngExchange, TypesPictureName) {
    EXPECT_EQ(TypesPictureName("a/b.png"), "a/b.types.png");
    EXPECT_EQ(TypesPictureName("a/B.PNG"), "a/B.types.png");
    EXPECT_EQ(TypesPictureName("x.png/pic"), "x.png/pic.types.png");
    EXPECT_EQ(TypesPictureName("dir/.png"), "dir/.png.types.png");
}

}  // namespace
}  // namespace rvk
