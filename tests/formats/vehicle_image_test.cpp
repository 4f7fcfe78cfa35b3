#include "formats/vehicle_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rvk {
namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t U16At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(VehicleImage, ImageOffsets) {
    VehicleRec v;
    v.Length = 0x1234;  // image keeps whatever the record holds
    v.HeightS = 12;
    v.Width = 10;
    v.HeightF = 7;
    v.Props = 0x8241;
    v.SteamCount = 2;
    v.Steam = {10, 11, 12, 13, 14, 15, 16, 17, 18};
    v.Info = {"name", "b", "c", "d", std::string(90, 'x')};
    v.Planes[0].set(0, 0, 0x11223344);
    v.Planes[7].set(15, 13, 0x55667788);
    v.Zoom2Exists = true;
    v.Zoom2HeightS = 24;
    v.Zoom2Width = 20;
    v.Zoom2HeightF = 14;
    v.Zoom2Info = "z2";
    v.Zoom2Planes[0].set(0, 0, 0x01020304);
    v.Zoom2Planes[7].set(31, 27, 0x05060708);
    v.Zoom2Modified = true;
    v.Zoom2Path = "p.fzz";
    const auto img = VehicleToImage(v);
    ASSERT_EQ(img.size(), 243992u);
    EXPECT_EQ(U16At(img, 0), 0);
    EXPECT_EQ(U16At(img, 2), 0x1234);
    EXPECT_EQ(U16At(img, 8), 7);
    EXPECT_EQ(U32At(img, 12), 0x8241u);
    EXPECT_EQ(img[16], 2);
    EXPECT_EQ(U16At(img, 18), 10);
    EXPECT_EQ(U16At(img, 34), 18);
    EXPECT_EQ(std::memcmp(&img[36], "name", 5), 0);
    EXPECT_EQ(img[36 + 81 * 4 + 79], 'x');
    EXPECT_EQ(img[36 + 81 * 4 + 80], 0);  // cut to 80 characters
    EXPECT_EQ(U32At(img, 444), 0x11223344u);
    EXPECT_EQ(U32At(img, 14780), kTransparent);
    EXPECT_EQ(U32At(img, 48188 + 895 - 3), 0x55667788u);
    EXPECT_EQ(img[49084], 1);
    EXPECT_EQ(U16At(img, 49086), 24);
    EXPECT_EQ(U16At(img, 49090), 14);
    EXPECT_EQ(std::memcmp(&img[49092], "z2", 3), 0);
    EXPECT_EQ(U32At(img, 49176), 0x01020304u);
    EXPECT_EQ(U32At(img, 243736 - 4), 0x05060708u);
    EXPECT_EQ(img[243736], 1);
    EXPECT_EQ(std::memcmp(&img[243737], "p.fzz", 6), 0);
    for (std::size_t pad : {10u, 11u, 17u, 441u, 442u, 443u, 49085u, 49173u, 49174u, 49175u})
        EXPECT_EQ(img[pad], 0) << pad;
}

TEST(VehicleImage, ImageRoundTripAndRefusals) {
    VehicleRec v;
    v.Info[0] = "Loco";
    v.Planes[2].set(7, 100, 0x60102030);
    v.Zoom2Planes[1].set(511, 27, 0x50FFFFFF);
    v.SteamCount = 3;
    auto img = VehicleToImage(v);
    img[0] = 0xAB;  // reserved bytes are ignored
    VehicleRec back;
    ASSERT_TRUE(VehicleFromImage(img, back));
    EXPECT_EQ(back.Info[0], "Loco");
    EXPECT_EQ(back.Planes[2].at(7, 100), 0x60102030u);
    EXPECT_EQ(back.Zoom2Planes[1].at(511, 27), 0x50FFFFFFu);
    EXPECT_FALSE(back.Planes[0].allocated());
    EXPECT_EQ(VehicleToImage(back), VehicleToImage(v));

    VehicleRec untouched;
    untouched.Info[1] = "keep";
    EXPECT_FALSE(VehicleFromImage(std::span(img).first(img.size() - 1), untouched));
    img[16] = 4;  // four steam points do not fit the record
    EXPECT_FALSE(VehicleFromImage(img, untouched));
    img[16] = 0;
    img[4] = 15;  // side view higher than its plane
    EXPECT_FALSE(VehicleFromImage(img, untouched));
    EXPECT_EQ(untouched.Info[1], "keep");
}

}  // namespace
}  // namespace rvk
