#include "formats/plane_codec.h"

#include <gtest/gtest.h>

#include "doc_test_util.h"
#include "formats/byte_io.h"

namespace rvk {
namespace {

using testing::Pix;

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words) {
    ByteWriter w;
    for (std::uint32_t word : words) w.u32(word);
    return w.data();
}

std::vector<std::uint32_t> WordsOf(const std::vector<std::uint8_t>& bytes) {
    ByteReader in(bytes);
    std::vector<std::uint32_t> out;
    while (in.remaining() >= 4) out.push_back(in.u32());
    return out;
}

std::vector<std::uint32_t> Encoded(const VehicleRec& v, int view, bool zoom2 = false) {
    ByteWriter out;
    EncodePlane(v, view, zoom2, out);
    return WordsOf(out.data());
}

// Side view 0 holding exactly `pixels` pixels in one row.
VehicleRec OneRowVehicle(int pixels) {
    VehicleRec v;
    v.Length = static_cast<std::uint16_t>(pixels);
    v.HeightS = 1;
    return v;
}

TEST(PlaneRle, RunsAreCutAt256AndSingleTransparentIsLiteral) {
    VehicleRec v;  // front view 3 is 8 x 9 transparent pixels
    EXPECT_EQ(Encoded(v, 3), std::vector<std::uint32_t>{0xC0010046});

    const PixelValue value = Pix(0x00, 0x123456);
    const PixelValue stored = Pix(0x00, 0x563412);  // red and blue exchanged on disk
    VehicleRec side;
    side.Length = 150;
    side.HeightS = 2;  // 300 pixels over two rows: runs continue across rows
    for (int y = 12; y < 14; ++y)
        for (int x = 0; x < 150; ++x) side.Planes[0].set(x, y, value);
    EXPECT_EQ(Encoded(side, 0),
              (std::vector<std::uint32_t>{0xC00000FE, stored, 0xC000002A, stored}));

    VehicleRec exact = OneRowVehicle(256);
    for (int x = 0; x < 256; ++x) exact.Planes[0].set(x, 13, value);
    EXPECT_EQ(Encoded(exact, 0), (std::vector<std::uint32_t>{0xC00000FE, stored}));

    VehicleRec over;
    over.Length = 256;
    over.HeightS = 2;
    for (int i = 0; i < 257; ++i) over.Planes[0].set(i % 256, 12 + i / 256, value);
    for (int x = 1; x < 256; ++x) over.Planes[0].set(x, 13, kHalfTransparent);
    EXPECT_EQ(Encoded(over, 0), (std::vector<std::uint32_t>{0xC00000FE, stored, stored, 0xC00000FD,
                                                            kHalfTransparent}));

    VehicleRec lone = OneRowVehicle(3);
    lone.Planes[0].set(1, 13, value);
    lone.Planes[0].set(2, 13, value);
    EXPECT_EQ(Encoded(lone, 0), (std::vector<std::uint32_t>{0x80000001, 0xC0000000, stored}));

    // A pixel carrying the run-marker type byte (damaged input) is stored as its colour
    // rather than as a word that would read back as a run.
    lone.Planes[0].set(0, 13, 0xC0000011);
    EXPECT_EQ(Encoded(lone, 0), (std::vector<std::uint32_t>{0x00110000, 0xC0000000, stored}));
}

TEST(PlaneRle, RoofViewsGoColumnByColumn) {
    VehicleRec v;
    v.Length = 8;  // roof halves are 8 wide, 4 tall
    v.Planes[2].set(0, 1, Pix(0x00, 0x0000AA));
    v.Planes[2].set(1, 0, Pix(0x00, 0x0000BB));
    EXPECT_EQ(Encoded(v, 2), (std::vector<std::uint32_t>{0x80000001, 0x00AA0000, 0xC0010000,
                                                         0x00BB0000, 0xC0010019}));
}

TEST(PlaneRle, DecodingCutsOverlongRunsAndStartsEachViewFresh) {
    VehicleRec v;
    v.Length = 8;
    v.HeightS = 2;
    v.Width = 4;
    v.HeightF = 2;
    v.Props &= ~kExtraViews;
    // View 0: a run of 20 (16 used); view 1: two literals then a run reaching far past
    // the end; roof 2 (4 x 4) column by column; view 3 (4 x 2); roof 4; view 5.
    const auto bytes = Words({0xC0000012, 0x00000011,                // view 0
                              0x00000022, 0x80000000, 0xC00100FE,    // view 1
                              0x00030201, 0x00060504, 0xC001000C,    // view 2
                              0xC0010006,                            // view 3
                              0xC001000E,                            // view 4
                              0xC0000006, 0x40000033, 0x12345678});  // view 5, rest
    ByteReader in(bytes);
    ASSERT_TRUE(DecodePlanes(in, v, false, false));
    EXPECT_EQ(in.pos(), bytes.size() - 4);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(v.Planes[0].at(x, 12), 0x00110000u);
        EXPECT_EQ(v.Planes[0].at(x, 13), 0x00110000u);
    }
    EXPECT_EQ(v.Planes[1].at(0, 12), 0x00220000u);
    EXPECT_EQ(v.Planes[1].at(1, 12), kHalfTransparent);
    EXPECT_EQ(v.Planes[1].at(7, 13), kTransparent);
    EXPECT_EQ(v.Planes[2].at(0, 0), 0x00010203u);
    EXPECT_EQ(v.Planes[2].at(0, 1), 0x00040506u);  // down the first column
    EXPECT_EQ(v.Planes[2].at(1, 0), kTransparent);
    EXPECT_FALSE(v.Planes[3].allocated());
    EXPECT_FALSE(v.Planes[4].allocated());
    EXPECT_EQ(v.Planes[5].at(3, 1), 0x40330000u);
}

TEST(PlaneRle, LiteralsOfEveryKindKeepTheirValues) {
    VehicleRec v;
    v.Length = 9;  // side views of 9 x 1, every other view empty
    v.HeightS = 1;
    v.Width = 0;
    v.HeightF = 0;
    const std::vector<std::uint32_t> literals = {0x00010203, 0x80000001, 0x80010000,
                                                 0x80000000, 0x40102030, 0x00000000,
                                                 0x61FFFFFF, 0x12345678, 0x80000001};
    ByteWriter w;
    for (std::uint32_t word : literals) w.u32(word);
    w.u32(0xC0010007);  // view 1: nine transparent pixels
    ByteReader in(w.data());
    ASSERT_TRUE(DecodePlanes(in, v, true, false));
    EXPECT_TRUE(in.atEnd());
    for (int x = 0; x < 9; ++x) EXPECT_EQ(v.Planes[0].at(x, 13), SwapRB(literals[x])) << x;
    EXPECT_FALSE(v.Planes[1].allocated());
}

TEST(PlaneRle, TruncatedInputFailsCleanly) {
    VehicleRec src = testing::VariedVehicle(7, true);
    ByteWriter out;
    for (int view = 0; view < src.viewCount(); ++view) EncodePlane(src, view, true, out);
    const auto& bytes = out.data();
    for (std::size_t cut = 0; cut < bytes.size(); cut += (cut < 64 ? 1 : 37)) {
        VehicleRec v = src;
        ByteReader in(std::span<const std::uint8_t>(bytes).first(cut));
        EXPECT_FALSE(DecodePlanes(in, v, src.viewCount() == 8, true)) << cut;
        EXPECT_FALSE(in.ok());
    }
    VehicleRec v = src;
    ByteReader in(bytes);
    ASSERT_TRUE(DecodePlanes(in, v, src.viewCount() == 8, true));
    EXPECT_TRUE(in.atEnd());
}

TEST(PlaneRle, RoundTripsEveryViewAtBothScalesAndKeepsEmptyPlanesUnallocated) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        const VehicleRec src = testing::VariedVehicle(seed, true);
        for (bool zoom2 : {false, true}) {
            ByteWriter out;
            for (int view = 0; view < src.viewCount(); ++view) EncodePlane(src, view, zoom2, out);
            VehicleRec dst;
            dst.Length = src.Length;
            dst.HeightS = src.HeightS;
            dst.Width = src.Width;
            dst.HeightF = src.HeightF;
            dst.Props = src.Props;
            dst.Zoom2HeightS = src.Zoom2HeightS;
            dst.Zoom2Width = src.Zoom2Width;
            dst.Zoom2HeightF = src.Zoom2HeightF;
            ByteReader in(out.data());
            ASSERT_TRUE(DecodePlanes(in, dst, src.viewCount() == 8, zoom2));
            EXPECT_TRUE(in.atEnd());
            testing::ExpectSameViews(src, dst, zoom2);
        }
    }
    VehicleRec empty;
    ByteWriter out;
    for (int view = 0; view < 8; ++view) EncodePlane(empty, view, false, out);
    ByteReader in(out.data());
    VehicleRec back;
    ASSERT_TRUE(DecodePlanes(in, back, true, false));
    for (const Plane& p : back.Planes) EXPECT_FALSE(p.allocated());
}

TEST(PlaneRle, SizesBeyondThePlanesAreRefused) {
    const auto bytes = Words({0xC00100FE, 0xC00100FE});
    VehicleRec v;
    v.HeightS = 15;
    ByteReader in(bytes);
    EXPECT_FALSE(DecodePlanes(in, v, false, false));
    v.HeightS = 14;
    v.Zoom2Width = 33;
    ByteReader z(bytes);
    EXPECT_FALSE(DecodePlanes(z, v, false, true));
    ByteReader p(bytes);
    EXPECT_FALSE(DecodePalettePlanes(p, v, false, true));
}

TEST(PaletteCoding, RowByRowForEveryViewWithoutSwap) {
    VehicleRec v;
    v.Length = 4;
    v.HeightS = 1;
    v.Width = 2;
    v.HeightF = 1;
    // Views 0, 1: 4 x 1; roofs 2, 4: 2 x 2, row by row; front views 3, 5: 2 x 1.
    const std::vector<std::uint8_t> bytes = {1,   255, 254, 80, 15, 15, 15, 15, 64, 75,
                                             113, 255, 2,   2,  3,  4,  5,  6,  7,  8};
    ByteReader in(bytes);
    ASSERT_TRUE(DecodePalettePlanes(in, v, false, false));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(v.Planes[0].at(0, 13), 0x00A80000u);
    EXPECT_EQ(v.Planes[0].at(1, 13), kTransparent);
    EXPECT_EQ(v.Planes[0].at(2, 13), kHalfTransparent);
    EXPECT_EQ(v.Planes[0].at(3, 13), 0x60842C0Cu);
    EXPECT_EQ(v.Planes[2].at(1, 0), 0x50484848u);  // second byte of the roof: row 0
    EXPECT_EQ(v.Planes[2].at(0, 1), 0x66143C58u);
    EXPECT_FALSE(v.Planes[6].allocated());
    EXPECT_EQ(v.Planes[5].at(1, 0), HostPalette(8));

    ByteReader shortIn(std::span<const std::uint8_t>(bytes).first(bytes.size() - 1));
    VehicleRec w = v;
    EXPECT_FALSE(DecodePalettePlanes(shortIn, w, false, false));
}

}  // namespace
}  // namespace rvk
