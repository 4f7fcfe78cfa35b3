#include "records/image_clip.h"

#include <gtest/gtest.h>

#include "doc_test_util.h"

namespace rvk {
namespace {

PlaneRef Ref(Plane& plane) {
    return {&plane, plane.width(), plane.height()};
}
ConstPlaneRef CRef(const Plane& plane) {
    return {&plane, plane.width(), plane.height()};
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
    const ClipImage image = CopyImage(CRef(testing::NumberedPlane(20, 20, 0x00000001)), {0, 0, 19, 19});
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
    Plane mirrored = testing::NumberedPlane(16, 14);
    TransformRect(Ref(mirrored), r, TransformKind::MirrorLeftRight);
    const Plane original = testing::NumberedPlane(16, 14);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
            ASSERT_EQ(mirrored.at(x, y), original.at(inside ? r.x1 + r.x2 - x : x, y))
                << x << "," << y;
        }

    Plane flipped = testing::NumberedPlane(16, 14);
    TransformRect(Ref(flipped), r, TransformKind::MirrorTopBottom);
    EXPECT_EQ(flipped.at(4, 2), original.at(4, 9));
    EXPECT_EQ(flipped.at(4, 5), original.at(4, 6));
    EXPECT_EQ(flipped.at(4, 10), original.at(4, 10));

    // Rotating by 180 degrees is both mirrors in turn.
    Plane rotated = testing::NumberedPlane(16, 14);
    TransformRect(Ref(rotated), r, TransformKind::Rotate180);
    TransformRect(Ref(mirrored), r, TransformKind::MirrorTopBottom);
    EXPECT_TRUE(rotated.sameContent(mirrored));
    EXPECT_EQ(rotated.at(3, 2), original.at(7, 9));
}

TEST(ImageClip, DegenerateTransformsChangeNothing) {
    const Plane original = testing::NumberedPlane(16, 14);
    Plane plane = testing::NumberedPlane(16, 14);
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
