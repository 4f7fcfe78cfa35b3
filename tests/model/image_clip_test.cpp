#include "model/image_clip.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// A plane whose pixel (x, y) holds 0x00YYXX00 + tag, so every cell is told apart.
Plane Numbered(int width, int height, PixelValue tag = 0) {
    Plane plane(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane.set(x, y,
                      tag + (static_cast<PixelValue>(y) << 16) + (static_cast<PixelValue>(x) << 8));
    return plane;
}

PlaneRef Ref(Plane& plane) {
    return {&plane, plane.width(), plane.height()};
}
ConstPlaneRef CRef(const Plane& plane) {
    return {&plane, plane.width(), plane.height()};
}

TEST(ImageClip, PayloadOfAThreeByTwoSelection) {
    Plane plane = Numbered(16, 14);
    plane.set(3, 2, kTransparent);
    const ClipImage image = CopyImage(CRef(plane), {2, 1, 4, 2});
    const std::vector<std::uint8_t> payload = EncodeImagePayload(image);
    ASSERT_EQ(payload.size(), 28u);
    EXPECT_EQ(std::vector<std::uint8_t>(payload.begin(), payload.begin() + 8),
              (std::vector<std::uint8_t>{0x03, 0x00, 0x02, 0x00, 0x00, 0x02, 0x01, 0x00}));
    // Top row first, each row from its left column; words are little-endian.
    const PixelValue expected[] = {0x00010200, 0x00010300,   0x00010400,
                                   0x00020200, kTransparent, 0x00020400};
    for (int i = 0; i < 6; ++i) {
        const std::size_t at = 4 + 4 * static_cast<std::size_t>(i);
        const PixelValue word = payload[at] | (payload[at + 1] << 8) | (payload[at + 2] << 16) |
                                (static_cast<PixelValue>(payload[at + 3]) << 24);
        EXPECT_EQ(word, expected[i]) << "pixel " << i;
    }

    const std::optional<ClipImage> back = DecodeImagePayload(payload);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 3);
    EXPECT_EQ(back->height, 2);
    EXPECT_EQ(back->pixels, image.pixels);
}

TEST(ImageClip, ShortBlocksAreRefusedLongOnesAccepted) {
    const ClipImage image{2, 2, {1, 2, 3, 4}};
    std::vector<std::uint8_t> payload = EncodeImagePayload(image);
    // One byte missing from the last pixel, or the header cut: nothing is pasted.
    EXPECT_FALSE(DecodeImagePayload(std::span(payload).first(payload.size() - 1)));
    EXPECT_FALSE(DecodeImagePayload(std::span(payload).first(3)));
    EXPECT_FALSE(DecodeImagePayload({}));
    // A header claiming 65535 x 65535 pixels in a tiny block allocates nothing.
    EXPECT_FALSE(DecodeImagePayload(std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}));
    // The system may round a block up; the extra bytes do not matter.
    payload.resize(payload.size() + 12, 0xEE);
    const std::optional<ClipImage> padded = DecodeImagePayload(payload);
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->pixels, image.pixels);
    // An empty image is well-formed and pastes nothing.
    const std::optional<ClipImage> empty =
        DecodeImagePayload(std::vector<std::uint8_t>{0, 0, 5, 0});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->pixels.empty());
}

TEST(ImageClip, BitmapColoursAreTheDaylightColours) {
    const ClipImage image{3, 1, {kTransparent, kHalfTransparent, 0x510000FF}};
    EXPECT_EQ(
        ImageDisplayColors(image),
        (std::vector<RgbColor>{MakeRgb(0, 0x70, 0), MakeRgb(0, 50, 100), MakeRgb(255, 0, 0)}));
}

TEST(ImageClip, ForeignBitmapsBecomeNormalColoursCutToTheRoomLeft) {
    // 3 x 2 pixels in rows of 4 words; alpha and the padding word are ignored.
    const std::vector<std::uint32_t> rgb = {0xFF102030, 0x00405060, 0x80FFFFFF, 0xDEADBEEF,
                                            0xFF000001, 0xFF010000, 0xFF000100, 0xDEADBEEF};
    const std::optional<ClipImage> all = ImageFromRgb(rgb, 3, 2, 4, 100, 100);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->width, 3);
    EXPECT_EQ(all->pixels,
              (std::vector<PixelValue>{MakeRgb(0x10, 0x20, 0x30), MakeRgb(0x40, 0x50, 0x60),
                                       MakeRgb(0xFF, 0xFF, 0xFF), MakeRgb(0, 0, 1),
                                       MakeRgb(1, 0, 0), MakeRgb(0, 1, 0)}));
    const std::optional<ClipImage> corner = ImageFromRgb(rgb, 3, 2, 4, 2, 1);
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->pixels, (std::vector<PixelValue>{all->at(0, 0), all->at(1, 0)}));

    struct Geometry {
        int width, height;
        std::size_t stride;
        bool fits;
    };
    for (const auto& [width, height, stride, fits] : {
             Geometry{3, 2, 4, true},   // the last row ends before the padding word
             Geometry{4, 2, 4, true},   // exactly all words
             Geometry{3, 3, 4, false},  // a row beyond the words
             Geometry{9, 1, 9, false},  // a row longer than the words
             Geometry{3, 2, 2, false},  // rows that overlap
             Geometry{0, 9, 0, true},   // empty: nothing to read
             Geometry{-1, 1, 4, false},
             Geometry{1, 2, ~std::size_t{0}, false},  // a stride no buffer can hold
         })
        EXPECT_EQ(ImageFromRgb(rgb, width, height, stride, 100, 100).has_value(), fits)
            << width << " x " << height << " / " << stride;
}

TEST(ImageClip, PasteIsCutOnlyByThePlaneEdges) {
    VehicleRec rec;
    rec.HeightS = 10;  // the side view shows rows 4..13 only
    Plane& side = rec.Planes[0];
    const ClipImage image = CopyImage(CRef(Numbered(20, 20, 0x00000001)), {0, 0, 19, 19});
    PasteImage(PlaneOf(&rec, 0, false), 250, 0, image);
    for (int y = 0; y < side.height(); ++y) {
        for (int x = 0; x < side.width(); ++x) {
            const PixelValue expected = x >= 250 ? image.at(x - 250, y) : kTransparent;
            ASSERT_EQ(side.at(x, y), expected) << x << "," << y;
        }
    }
    // Rows above the visible area took pixels too.
    EXPECT_EQ(side.at(255, 0), image.at(5, 0));

    // At the plane's last cell only the image's first pixel lands.
    Plane end(16, 14);
    PasteImage(Ref(end), 15, 13, image);
    EXPECT_EQ(end.at(15, 13), image.at(0, 0));
    EXPECT_EQ(end.at(14, 13), kTransparent);
    EXPECT_EQ(end.at(15, 12), kTransparent);
}

TEST(ImageClip, MirrorsAndRotation) {
    const CellRect r{3, 2, 7, 9};
    Plane mirrored = Numbered(16, 14);
    TransformRect(Ref(mirrored), r, TransformKind::MirrorLeftRight);
    const Plane original = Numbered(16, 14);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
            ASSERT_EQ(mirrored.at(x, y), original.at(inside ? r.x1 + r.x2 - x : x, y))
                << x << "," << y;
        }

    Plane flipped = Numbered(16, 14);
    TransformRect(Ref(flipped), r, TransformKind::MirrorTopBottom);
    EXPECT_EQ(flipped.at(4, 2), original.at(4, 9));
    EXPECT_EQ(flipped.at(4, 5), original.at(4, 6));
    EXPECT_EQ(flipped.at(4, 10), original.at(4, 10));

    // Rotating by 180 degrees is both mirrors in turn.
    Plane rotated = Numbered(16, 14);
    TransformRect(Ref(rotated), r, TransformKind::Rotate180);
    TransformRect(Ref(mirrored), r, TransformKind::MirrorTopBottom);
    EXPECT_TRUE(rotated.sameContent(mirrored));
    EXPECT_EQ(rotated.at(3, 2), original.at(7, 9));
}

TEST(ImageClip, DegenerateTransformsChangeNothing) {
    const Plane original = Numbered(16, 14);
    Plane plane = Numbered(16, 14);
    TransformRect(Ref(plane), {5, 0, 5, 13}, TransformKind::MirrorLeftRight);
    TransformRect(Ref(plane), {0, 7, 15, 7}, TransformKind::MirrorTopBottom);
    TransformRect(Ref(plane), {9, 9, 9, 9}, TransformKind::Rotate180);
    EXPECT_TRUE(plane.sameContent(original));
    // An untouched plane stays without storage.
    Plane empty(16, 14);
    TransformRect(Ref(empty), {0, 0, 15, 13}, TransformKind::Rotate180);
    EXPECT_FALSE(empty.allocated());
}

}  // namespace
}  // namespace rvk
