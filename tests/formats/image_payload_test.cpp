#include "formats/image_payload.h"

#include <gtest/gtest.h>

#include "doc_test_util.h"

namespace rvk {
namespace {

TEST(ImagePayload, PayloadOfAThreeByTwoSelection) {
    Plane plane = testing::NumberedPlane(16, 14);
    plane.set(3, 2, kTransparent);
    const ClipImage image = CopyImage(ConstPlaneRef{&plane, plane.width(), plane.height()}, {2, 1, 4, 2});
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

TEST(ImagePayload, ShortBlocksAreRefusedLongOnesAccepted) {
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

}  // namespace
}  // namespace rvk
