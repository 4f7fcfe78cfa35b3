#include "formats/document_codec.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "doc_test_util.h"

#include "formats/byte_io.h"

namespace rvk {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kSignature = {0x46, 0x5A, 0xC7, 0x38, 0x30};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

std::uint32_t U32At(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t U16At(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

DocumentRec SampleDoc() {
    DocumentRec doc;
    testing::FillSampleDocument(doc);
    return doc;
}

// Small enough to cut at every byte.
DocumentRec SmallDoc() {
    DocumentRec doc = SampleDoc();
    for (auto& fleet : doc.fleets)
        for (auto& v : fleet->vehicles) v->Length = 8, v->HeightS = 3, v->Width = 4, v->HeightF = 2;
    return doc;
}

// A fleet block written by hand: name, one vehicle given by its record bytes.
Bytes FleetBlock(std::uint16_t tag, const Bytes& vehicleRecord) {
    ByteWriter w;
    w.u16(tag);
    w.u16(1);
    w.u32(0x8000);
    w.u32(7);
    w.text("Old");
    w.u8(0);
    w.text("A");
    for (int i = 0; i < 5; ++i) w.u8(0);
    w.bytes(vehicleRecord);
    return w.data();
}

// A vehicle whose views are all empty.
Bytes EmptyRecord() {
    ByteWriter w;
    w.u8(0);
    for (int i = 0; i < 4; ++i) w.u16(0);
    w.u32(kDefaultProps);
    w.u8(0);
    return w.data();
}

Bytes OneFleetFile(const Bytes& block) {
    ByteWriter dir;
    dir.u16(U16At(block, 0));
    dir.u32(2);  // the block follows the terminating 0
    dir.u16(0);
    return Concat({Text("x"), {0x1A}, kSignature, dir.data(), block});
}

TEST(DocumentFormat, EmptyDocumentsByHand) {
    DocumentRec doc;
    doc.info = "Hi";
    EXPECT_EQ(EncodeDocument(doc), Concat({Text("Hi"), {0x1A}, kSignature, {0, 0}}));
    doc.info.clear();
    const Bytes empty = EncodeDocument(doc);
    EXPECT_EQ(empty.front(), 0x1A);

    DocumentRec read;
    read.fleets.push_back(CreateFleet("old"));
    ASSERT_TRUE(DecodeDocument(Concat({Text("Hi"), {0x1A}, kSignature, {0, 0}}), read));
    EXPECT_EQ(read.info, "Hi");
    EXPECT_TRUE(read.fleets.empty());
}

TEST(DocumentFormat, RoundTripKeepsEverythingStored) {
    DocumentRec doc = SampleDoc();
    DocumentRec read;
    ASSERT_TRUE(DecodeDocument(EncodeDocument(doc), read));
    testing::ExpectSameDocument(doc, read);
    EXPECT_EQ(EncodeDocument(read), EncodeDocument(doc));
}

TEST(DocumentFormat, BlockLayoutNamesStringsAndSteam) {
    DocumentRec doc;
    doc.fleets.push_back(CreateFleet(std::string(40, 'N')));
    doc.fleets.push_back(CreateFleet("Second"));
    auto v = std::make_unique<VehicleRec>();
    v->Props = kSingleEnded;  // neither Pixels32 nor ExtraViews
    v->SteamCount = 2;
    v->Steam = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    v->Info[0] = "Tram";
    v->Info[4] = std::string(90, 'i');
    doc.fleets[1]->vehicles.push_back(std::move(v));
    const Bytes b = EncodeDocument(doc);

    // Each directory offset counts from the end of its own offset field.
    const std::size_t dir = 1 + 5;
    EXPECT_EQ(U16At(b, dir), 4000);
    EXPECT_EQ(U16At(b, dir + 6), 4001);
    EXPECT_EQ(U16At(b, dir + 12), 0);
    const std::size_t block0 = dir + 6 + U32At(b, dir + 2);
    const std::size_t block1 = dir + 12 + U32At(b, dir + 8);
    EXPECT_EQ(block0, dir + 14);
    EXPECT_EQ(U16At(b, block0), 4000);
    EXPECT_EQ(U32At(b, block0 + 4), 0x8000u);
    EXPECT_EQ(U32At(b, block0 + 8), 33u);  // name cut to 32 and its NUL
    EXPECT_EQ(std::string(b.begin() + block0 + 12, b.begin() + block0 + 44), std::string(32, 'N'));
    EXPECT_EQ(b[block0 + 44], 0);
    EXPECT_EQ(block1, block0 + 45);
    EXPECT_EQ(U16At(b, block1), 4001);
    EXPECT_EQ(U16At(b, block1 + 2), 1);
    // "Second\0" + "Tram\0" + three empty strings + 80 characters and a NUL.
    EXPECT_EQ(U32At(b, block1 + 8), 7u + 5u + 3u + 81u);
    const std::size_t rec = block1 + 12 + 96;
    EXPECT_EQ(b[rec], 0);                        // position in the fleet
    EXPECT_EQ(U32At(b, rec + 9), 0x0201u);       // Pixels32 forced
    EXPECT_EQ(b[rec + 13], 2);                   // steam count
    EXPECT_EQ(U16At(b, rec + 14 + 10), 6);       // the sixth and last steam value
    EXPECT_EQ(U32At(b, rec + 26), 0xC00100FEu);  // view 0: 448 transparent pixels
    EXPECT_EQ(U32At(b, rec + 30), 0xC00100BEu);

    DocumentRec read;
    ASSERT_TRUE(DecodeDocument(b, read));
    ASSERT_EQ(read.fleets.size(), 2u);
    EXPECT_EQ(read.fleets[0]->name, std::string(32, 'N'));
    const VehicleRec& r = *read.fleets[1]->vehicles[0];
    EXPECT_EQ(r.Props, 0x0201u);
    EXPECT_EQ(r.viewCount(), 6);
    EXPECT_EQ(r.Steam, (std::array<std::uint16_t, 9>{1, 2, 3, 4, 5, 6, 1, 1, 1}));
    EXPECT_EQ(r.Info[4], std::string(80, 'i'));
}

TEST(DocumentFormat, SixViewVehiclesLeaveExtraPlanesTransparent) {
    DocumentRec doc;
    doc.fleets.push_back(CreateFleet("F"));
    auto v = std::make_unique<VehicleRec>(testing::VariedVehicle(3, false));
    v->Props &= ~kExtraViews;
    v->Planes[6].set(0, 0, testing::Pix(0, 0x112233));
    doc.fleets[0]->vehicles.push_back(std::move(v));
    DocumentRec read;
    ASSERT_TRUE(DecodeDocument(EncodeDocument(doc), read));
    const VehicleRec& r = *read.fleets[0]->vehicles[0];
    EXPECT_FALSE(r.Planes[6].allocated());
    EXPECT_FALSE(r.Planes[7].allocated());
    testing::ExpectSameStored(*doc.fleets[0]->vehicles[0], r);
}

TEST(DocumentFormat, ReaderCutsOverlongStringsAndReadsPaletteCoding) {
    ByteWriter rec;
    rec.u8(0);
    for (int s : {2, 1, 2, 1})
        rec.u16(static_cast<std::uint16_t>(s));  // length 2 (roofs 2 x 1), heights 1
    rec.u32(0x8000);                             // no Pixels32: palette codes
    rec.u8(0);
    const Bytes codes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // six views of two pixels
    rec.bytes(codes);
    Bytes block = FleetBlock(4000, rec.data());
    // A 40-character fleet name in the file is cut to 32 on reading.
    block.insert(block.begin() + 12, 37, 'n');
    Bytes file = OneFleetFile(block);
    const Bytes longInfo(3000, 'i');
    file = Concat({longInfo, Bytes(file.begin() + 1, file.end())});

    DocumentRec read;
    ASSERT_TRUE(DecodeDocument(file, read));
    EXPECT_EQ(read.info, std::string(2047, 'i'));
    ASSERT_EQ(read.fleets.size(), 1u);
    EXPECT_EQ(read.fleets[0]->name.size(), 32u);
    const VehicleRec& v = *read.fleets[0]->vehicles[0];
    EXPECT_EQ(v.Info[0], "A");
    EXPECT_EQ(v.Props, 0x8000u);
    EXPECT_EQ(v.Planes[0].at(0, 13), HostPalette(1));
    EXPECT_EQ(v.Planes[2].at(1, 0), HostPalette(6));
    EXPECT_EQ(v.Planes[5].at(1, 0), HostPalette(12));
}

TEST(DocumentFormat, DirectoryEntriesOutsideTheFileOrWithoutTagAreSkipped) {
    const Bytes good = EncodeDocument(SampleDoc());
    Bytes b = good;
    const std::size_t dir = 1 + 23 + 5;
    b[dir + 2] = 0xFF, b[dir + 3] = 0xFF, b[dir + 4] = 0xFF;  // fleet 0 far past the end
    DocumentRec read;
    ASSERT_TRUE(DecodeDocument(b, read));
    ASSERT_EQ(read.fleets.size(), 1u);
    EXPECT_EQ(read.fleets[0]->name, "Buses");

    b = good;
    b[dir + 6] = 0x99;  // fleet 1's entry no longer carries its block's tag
    ASSERT_TRUE(DecodeDocument(b, read));
    ASSERT_EQ(read.fleets.size(), 1u);
    EXPECT_EQ(read.fleets[0]->name, "Trams");
}

TEST(DocumentFormat, DamagedFilesAreRefusedWholeAndLeaveTheDocumentAlone) {
    const Bytes good = EncodeDocument(SmallDoc());
    const auto expectRefused = [&](const Bytes& bytes, const std::string& what) {
        DocumentRec doc = SampleDoc();
        doc.info = "untouched";
        EXPECT_FALSE(DecodeDocument(bytes, doc)) << what;
        EXPECT_EQ(doc.info, "untouched") << what;
        ASSERT_EQ(doc.fleets.size(), 2u) << what;
        EXPECT_EQ(doc.fleets[0]->vehicles.size(), 2u) << what;
    };
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        expectRefused(Bytes(good.begin(), good.begin() + cut), "cut at " + std::to_string(cut));

    Bytes badSignature = good;
    badSignature[26] ^= 1;
    expectRefused(badSignature, "signature");

    ByteWriter rec;
    rec.u8(0);
    for (int s : {32, 14, 8, 9}) rec.u16(static_cast<std::uint16_t>(s));
    rec.u32(kDefaultProps);
    rec.u8(4);  // more steam points than a vehicle has
    for (int i = 0; i < 12; ++i) rec.u16(1);
    expectRefused(OneFleetFile(FleetBlock(4000, rec.data())), "steam count");

    rec = ByteWriter();
    rec.u8(0);
    for (int s : {32, 15, 8, 9})
        rec.u16(static_cast<std::uint16_t>(s));  // side views are 14 rows at most
    rec.u32(kDefaultProps);
    rec.u8(0);
    for (int i = 0; i < 100; ++i) rec.u32(0xC00100FE);
    expectRefused(OneFleetFile(FleetBlock(4000, rec.data())), "height");

    DocumentRec control;
    ASSERT_TRUE(DecodeDocument(OneFleetFile(FleetBlock(4000, EmptyRecord())), control));
    EXPECT_EQ(control.fleets.at(0)->vehicles.size(), 1u);

    // A vehicle count far beyond what the bytes can hold.
    Bytes block = FleetBlock(4000, EmptyRecord());
    block[2] = 0xFF, block[3] = 0xFF;
    expectRefused(OneFleetFile(block), "count");

    // Two directory entries naming the same block.
    ByteWriter dir;
    for (int i = 0; i < 2; ++i) dir.u16(4000), dir.u32(i == 0 ? 8 : 2);
    dir.u16(0);
    expectRefused(Concat({{0x1A}, kSignature, dir.data(), FleetBlock(4000, EmptyRecord())}),
                  "overlap");
}

TEST(DocumentFormat, InfoTextNeverHoldsItsOwnTerminator) {
    DocumentRec doc;
    doc.info = std::string("a\x1A") + "b";
    DocumentRec read;
    ASSERT_TRUE(DecodeDocument(EncodeDocument(doc), read));
    EXPECT_EQ(read.info, "ab");
}

}  // namespace
}  // namespace rvk
