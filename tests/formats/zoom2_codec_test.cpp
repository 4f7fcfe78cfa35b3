#include "formats/zoom2_codec.h"

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "formats/byte_io.h"
#include "formats/vehicle_image.h"

namespace rvk {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kBanner = "Zoom2 Graphics file created with RVKEDITRVK Editor 3.0 Beta2";

VehicleRec WithZoom2(std::uint32_t seed) {
    return testing::VariedVehicle(seed, true);
}

// The header of a .fzz file up to its info string, as a host or an older editor
// might write it.
ByteWriter Header(std::uint8_t version, std::uint16_t length, std::uint16_t flags) {
    ByteWriter w;
    w.text("any banner");
    w.u8(0x1A);
    w.bytes(std::vector<std::uint8_t>{0x46, 0x5A, 0x47, 0x32, 0x03, 0x83});
    w.u8(version);
    w.u16(length);
    w.u16(4);  // heights and width of the Zoom2 views
    w.u16(8);
    w.u16(2);
    w.u16(flags);
    w.text("z2");
    w.u8(0);
    return w;
}

TEST(Zoom2Format, WrittenLayoutAndRoundTrip) {
    VehicleRec v = WithZoom2(5);
    v.Zoom2Info = "info";
    const Bytes b = EncodeZoom2(v);
    ASSERT_GT(b.size(), kBanner.size() + 20);
    EXPECT_EQ(std::string(b.begin(), b.begin() + kBanner.size()), kBanner);
    const std::size_t at = kBanner.size();
    EXPECT_EQ(Bytes(b.begin() + at, b.begin() + at + 8),
              (Bytes{0x1A, 0x46, 0x5A, 0x47, 0x32, 0x03, 0x83, 3}));
    EXPECT_EQ(b[at + 8] | (b[at + 9] << 8), 2 * v.Length);
    EXPECT_EQ(b[at + 10] | (b[at + 11] << 8), v.Zoom2HeightS);
    const int flags = b[at + 16] | (b[at + 17] << 8);
    EXPECT_EQ(flags, v.viewCount() == 8 ? 0x0300 : 0x0200);
    EXPECT_EQ(std::string(b.begin() + at + 18, b.begin() + at + 23), std::string("info\0", 5));

    VehicleRec read = v;
    read.Zoom2Exists = false;
    read.Zoom2Planes = VehicleRec().Zoom2Planes;
    read.Zoom2HeightS = 2;
    read.Zoom2Modified = true;
    ASSERT_EQ(DecodeZoom2(read, b), kZoom2Ok);
    EXPECT_TRUE(read.Zoom2Exists);
    EXPECT_TRUE(read.Zoom2Modified);  // reading does not touch it
    EXPECT_EQ(read.Zoom2HeightS, v.Zoom2HeightS);
    EXPECT_EQ(read.Zoom2Width, v.Zoom2Width);
    EXPECT_EQ(read.Zoom2HeightF, v.Zoom2HeightF);
    EXPECT_EQ(read.Zoom2Info, "info");
    testing::ExpectSameViews(v, read, true);
}

TEST(Zoom2Format, OlderPaletteFilesWithSixViews) {
    VehicleRec v;
    v.Length = 2;  // Zoom2: sides 4 x 4, roofs 8 x 2, ends 8 x 2
    ByteWriter w = Header(2, 4, 0x0000);
    Bytes codes(2 * 16 + 4 * 16, 15);
    codes[0] = 1;
    codes[32] = 80;  // roof 2 is read row by row: its second pixel is (1, 0)
    codes[33] = 81;
    w.bytes(codes);
    ASSERT_EQ(DecodeZoom2(v, w.data()), kZoom2Ok);
    EXPECT_EQ(v.Zoom2Planes[0].at(0, 24), HostPalette(1));
    EXPECT_EQ(v.Zoom2Planes[2].at(1, 0), HostPalette(81));
    EXPECT_EQ(v.Zoom2Planes[5].at(7, 1), HostPalette(15));
    EXPECT_FALSE(v.Zoom2Planes[6].allocated());
    EXPECT_EQ(v.Zoom2Info, "z2");
}

TEST(Zoom2Format, RefusedFilesChangeNothing) {
    const VehicleRec source = WithZoom2(9);
    const Bytes good = EncodeZoom2(source);
    VehicleRec base = testing::VariedVehicle(9, false);
    base.Zoom2Planes[0].set(0, 0, testing::Pix(0, 0x445566));  // left over from earlier
    const Bytes before = VehicleToImage(base);
    const auto expectCode = [&](const Bytes& bytes, int code, const std::string& what) {
        VehicleRec v = base;
        EXPECT_EQ(DecodeZoom2(v, bytes), code) << what;
        EXPECT_EQ(VehicleToImage(v), before) << what;
    };

    for (std::size_t cut = 0; cut < good.size(); cut += (cut < 200 ? 1 : 97))
        expectCode(Bytes(good.begin(), good.begin() + cut), kZoom2BadFormat,
                   "cut at " + std::to_string(cut));
    Bytes b = good;
    b[kBanner.size() + 7] = 4;  // version
    expectCode(b, kZoom2BadFormat, "version");
    b = good;
    b[kBanner.size() + 4] = 0x33;  // signature
    expectCode(b, kZoom2BadFormat, "signature");
    b = good;
    b[kBanner.size() + 12] = 33;  // Zoom2 width beyond its planes
    expectCode(b, kZoom2BadFormat, "width");
    b = good;
    b[kBanner.size() + 8] ^= 2;  // length of another vehicle
    expectCode(b, kZoom2WrongLength, "length");
    expectCode(Bytes(kBanner.begin(), kBanner.end()), kZoom2BadFormat, "no end of banner");

    VehicleRec has = base;
    has.Zoom2Exists = true;
    has.Zoom2Path = "earlier";
    EXPECT_EQ(DecodeZoom2(has, good), kZoom2AlreadyExists);
}

TEST(Zoom2Format, LengthOfAnotherVehicle) {
    VehicleRec v;
    v.Length = 32;
    ByteWriter w = Header(3, 80, 0x0200);
    EXPECT_EQ(DecodeZoom2(v, w.data()), kZoom2WrongLength);
    EXPECT_FALSE(v.Zoom2Exists);
    EXPECT_EQ(v.Zoom2Info, "");
}

}  // namespace
}  // namespace rvk
