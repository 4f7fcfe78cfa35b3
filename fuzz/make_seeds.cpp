// Writes the small seed inputs of the fuzz targets into <folder>/<target>/: documents
// of both plane codings, Zoom2 files of both versions, vehicle images and fleet blocks
// cut the way their targets lay their input out, pairs of old-format files, clipboard
// images and bitmaps, and documents as JSON.
#include <cstdio>
#include <filesystem>
#include <string>

#include "../tests/host/ufg_pair.h"
#include "cli/doc_json.h"
#include "formats/byte_io.h"
#include "formats/document_codec.h"
#include "formats/fleet_payload.h"
#include "formats/image_payload.h"
#include "formats/png_exchange.h"
#include "formats/vehicle_image.h"
#include "records/image_clip.h"
#include "storage/companion_files.h"
#include "storage/document_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace {

using rvk::VehicleRec;
using Bytes = std::vector<std::uint8_t>;

// A small vehicle with runs, single pixels and every colour type.
VehicleRec Sample(std::uint16_t length, bool extraViews, bool zoom2) {
    VehicleRec v;
    v.Length = length;
    v.HeightS = 4;
    v.Width = 4;
    v.HeightF = 3;
    v.Props = extraViews ? rvk::kDefaultProps : (rvk::kPixels32 | rvk::kRev);
    v.SteamCount = 2;
    v.Steam = {3, 2, 5, 7, 2, 4, 1, 1, 1};
    v.Info = {"Tram", "line 1", "", "built here", "x"};
    const rvk::PixelValue colours[] = {0x00123456, 0x40ABCDEF, 0x610000FF, rvk::kHalfTransparent,
                                       0x50FFFFFF};
    for (int view = 0; view < rvk::kViewCount; ++view) {
        const rvk::ViewSize size = rvk::ViewGeometry(&v, view, false);
        const int top = rvk::RowOffset(v, view, false);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                if ((x + y + view) % 3)
                    v.Planes[view].set(x, y + top, colours[(x / 2 + y + view) % 5]);
    }
    if (zoom2) rvk::DeriveZoom2(v, "doubled");
    return v;
}

void Write(const std::filesystem::path& dir, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    if (!rvk::WriteFileAtomic(path, bytes)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

// A document whose single vehicle uses the 8-bit palette codes.
Bytes PaletteDocument() {
    rvk::ByteWriter w;
    w.text("palette");
    w.u8(0x1A);
    w.bytes(Bytes{0x46, 0x5A, 0xC7, 0x38, 0x30});
    w.u16(4000);
    w.u32(2);
    w.u16(0);
    w.u16(4000);
    w.u16(1);
    w.u32(0x8000);
    w.u32(9);
    w.text("Old");
    w.u8(0);
    w.text("A");
    for (int i = 0; i < 5; ++i) w.u8(0);
    w.u8(0);
    for (int s : {4, 2, 2, 2}) w.u16(static_cast<std::uint16_t>(s));
    w.u32(rvk::kMotorized);
    w.u8(1);
    for (int s : {1, 2, 3}) w.u16(static_cast<std::uint16_t>(s));
    for (int i = 0; i < 8 + 8 + 4 + 4 + 4 + 4; ++i) w.u8(static_cast<std::uint8_t>(i * 9));
    return w.data();
}

// The older Zoom2 version: palette codes, six views.
Bytes PaletteZoom2() {
    rvk::ByteWriter w;
    w.text("old");
    w.u8(0x1A);
    w.bytes(Bytes{0x46, 0x5A, 0x47, 0x32, 0x03, 0x83});
    w.u8(2);
    for (int s : {16, 4, 8, 2, 0}) w.u16(static_cast<std::uint16_t>(s));
    w.u8(0);
    for (int i = 0; i < 2 * 64 + 2 * 64 + 2 * 16; ++i) w.u8(static_cast<std::uint8_t>(i * 7));
    return w.data();
}

// A pair of old-format files as the pair target takes them: the graphics file's
// length, the graphics file, the companion.
Bytes PairSeed(const Bytes& ufg, const Bytes& uzz) {
    Bytes seed = {static_cast<std::uint8_t>(ufg.size()),
                  static_cast<std::uint8_t>(ufg.size() >> 8)};
    seed.insert(seed.end(), ufg.begin(), ufg.end());
    seed.insert(seed.end(), uzz.begin(), uzz.end());
    return seed;
}

// The longest vehicle: Zoom2 side views as wide as their planes, in long runs.
Bytes WideZoom2() {
    VehicleRec v;
    v.Length = 256;
    v.Props = rvk::kPixels32;
    v.Zoom2Exists = true;
    v.Zoom2Info = "wide";
    for (int view = 0; view < v.viewCount(); ++view) {
        const rvk::ViewSize size = rvk::ViewGeometry(&v, view, true);
        const int top = rvk::RowOffset(v, view, true);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                v.Zoom2Planes[view].set(x, y + top,
                                        0x00102030u * static_cast<unsigned>(1 + x / 128));
    }
    return rvk::EncodeZoom2(v);
}

// The three parts of an image that the image target overlays, each `part` bytes.
Bytes ImageSeed(const VehicleRec& v, std::size_t part) {
    const Bytes image = rvk::VehicleToImage(v);
    Bytes seed(image.begin(), image.begin() + part);
    seed.insert(seed.end(), image.begin() + 49084, image.begin() + 49084 + part);
    seed.insert(seed.end(), image.begin() + 243736, image.end());
    seed.resize(3 * part, 0);
    return seed;
}

// A picture of the png import target: plane selector, picture length, picture, types.
Bytes PictureSeed(const rvk::ClipImage& image, std::uint8_t plane, bool withTypes) {
    std::string error;
    const Bytes picture = rvk::EncodePicturePng(image, error).value_or(Bytes{});
    Bytes seed = {plane, static_cast<std::uint8_t>(picture.size()),
                  static_cast<std::uint8_t>(picture.size() >> 8)};
    seed.insert(seed.end(), picture.begin(), picture.end());
    if (withTypes) {
        const Bytes types = rvk::EncodeTypesPng(image, error).value_or(Bytes{});
        seed.insert(seed.end(), types.begin(), types.end());
    }
    return seed;
}

// Targets that take their choices from the end of the input: the bytes, then the
// choices.
Bytes WithChoices(Bytes bytes, const Bytes& choices) {
    bytes.insert(bytes.end(), choices.begin(), choices.end());
    return bytes;
}

// A fleet block's header and the record head of each vehicle, as the fleet target
// builds its block from them; the last byte keeps the block whole.
Bytes FleetSeed(const rvk::FleetRec& fleet) {
    const Bytes block = rvk::EncodeFleetPayload(fleet);
    Bytes seed(block.begin(), block.begin() + rvk::kFleetPayloadHeader);
    for (std::size_t i = 0; i < fleet.vehicles.size(); ++i) {
        const auto head = block.begin() + rvk::kFleetPayloadHeader + i * rvk::kVehicleImageSize;
        seed.insert(seed.end(), head, head + 444);
    }
    seed.push_back(0);
    return seed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];

    rvk::FileDoc doc;
    Write(root / "document_fuzz", "empty.rvk", rvk::EncodeDocument(doc));
    doc.info = "Two fleets\r\nsmall vehicles";
    doc.fleets.push_back(rvk::CreateFleet("Trams"));
    doc.fleets.push_back(rvk::CreateFleet("A fleet name that is longer than allowed"));
    doc.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(Sample(8, true, false)));
    doc.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(Sample(12, false, false)));
    doc.fleets[1]->vehicles.push_back(std::make_unique<VehicleRec>(Sample(10, true, false)));
    Write(root / "document_fuzz", "fleets.rvk", rvk::EncodeDocument(doc));
    Write(root / "document_fuzz", "palette.rvk", PaletteDocument());

    Write(root / "zoom2_fuzz", "eight_views_32.fzz", rvk::EncodeZoom2(Sample(32, true, true)));
    Write(root / "zoom2_fuzz", "six_views_8.fzz", rvk::EncodeZoom2(Sample(8, false, true)));
    Write(root / "zoom2_fuzz", "palette_8.fzz", PaletteZoom2());
    Write(root / "zoom2_fuzz", "wide_256.fzz", WideZoom2());

    Write(root / "vehicle_image_fuzz", "fresh.bin", ImageSeed(VehicleRec(), 600));
    VehicleRec v = Sample(8, true, true);
    v.Zoom2Path = "/data/trains-00-00.fzz";
    Write(root / "vehicle_image_fuzz", "drawn.bin", ImageSeed(v, 1200));

    using namespace rvk::ufgtest;
    Write(root / "ufg_pair_fuzz", "sample.bin", PairSeed(SampleUfg(), SampleUzz()));
    Write(root / "ufg_pair_fuzz", "counts_differ.bin",
          PairSeed(UfgFile("one", {SampleUfgFleet(60)}), UzzFile(SampleUzzFleets())));
    const VehicleRec drawn = Sample(12, true, false);
    const rvk::ClipImage side = rvk::CopyImage(rvk::PlaneOf(&drawn, 1, false), {0, 10, 11, 13});
    const rvk::ClipImage end = rvk::CopyImage(rvk::PlaneOf(&drawn, 3, false), {0, 0, 3, 2});
    Write(root / "png_import_fuzz", "side_types.bin", PictureSeed(side, 1, true));
    Write(root / "png_import_fuzz", "end_zoom2.bin", PictureSeed(end, 0x83, false));

    const VehicleRec doubled = Sample(8, true, true);
    rvk::ClipImage image = rvk::CopyImage(rvk::PlaneOf(&doubled, 0, false), {0, 10, 7, 13});
    Write(root / "image_clip_fuzz", "side_8x4.bin",
          WithChoices(rvk::EncodeImagePayload(image),
                      {0, 3, 0, 1, 0, 9, 0, 1, 1, 4, 0, 2, 0, 10, 0, 20, 1, 1, 0}));
    image = rvk::CopyImage(rvk::PlaneOf(&doubled, 2, true), {0, 0, 3, 5});
    Write(root / "image_clip_fuzz", "roof_zoom2.bin",
          WithChoices(rvk::EncodeImagePayload(image),
                      {0, 2, 0, 7, 0, 5, 0, 9, 0, 3, 0, 4, 0, 1, 0, 8, 3, 1, 2}));

    Bytes rgb;
    for (const rvk::RgbColor c : rvk::ImageDisplayColors(image))
        for (int shift : {16, 8, 0, 24}) rgb.push_back(static_cast<std::uint8_t>(c >> shift));
    Write(root / "bitmap_paste_fuzz", "4x6.bin",
          WithChoices(rgb, {0, 0, 0, 6, 0, 4, 0, 3, 0, 7, 0, 0}));
    Write(root / "bitmap_paste_fuzz", "stride.bin",
          WithChoices(rgb, {1, 2, 0, 3, 0, 2, 0, 1, 0, 40, 1, 1}));

    auto fleet = rvk::CreateFleet("Trams");
    Write(root / "fleet_payload_fuzz", "empty.bin", FleetSeed(*fleet));
    fleet->vehicles.push_back(std::make_unique<VehicleRec>(doubled));
    fleet->vehicles.push_back(std::make_unique<VehicleRec>(Sample(12, false, false)));
    Write(root / "fleet_payload_fuzz", "two.bin", FleetSeed(*fleet));

    // As the file holds it: the overlong fleet name cut to its field.
    rvk::FileDoc opened;
    rvk::DecodeDocument(rvk::EncodeDocument(doc), opened);
    const std::string json = rvk::tool::DocumentToJson(opened).dump();
    Write(root / "doc_json_fuzz", "fleets.json", Bytes(json.begin(), json.end()));
    doc.fleets.resize(1);
    doc.fleets[0]->vehicles.resize(1);
    rvk::DeriveZoom2(*doc.fleets[0]->vehicles[0], "Zoom2 \xe9");
    const std::string zoom2 = rvk::tool::DocumentToJson(doc).dump(1);
    Write(root / "doc_json_fuzz", "zoom2.json", Bytes(zoom2.begin(), zoom2.end()));


    // Document folders, laid out as records (kind, 16-bit size, bytes): a document
    // with one good and one damaged companion, and the same after a killed save that
    // left its journal and temporaries.
    rvk::FileDoc zoom;
    zoom.fleets.push_back(rvk::CreateFleet("Zoom2"));
    zoom.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(Sample(8, true, true)));
    zoom.fleets[0]->vehicles.push_back(std::make_unique<VehicleRec>(Sample(12, false, true)));
    Bytes folder;
    const auto record = [&folder](std::uint8_t kind, Bytes body) {
        folder.push_back(kind);
        folder.push_back(static_cast<std::uint8_t>(body.size()));
        folder.push_back(static_cast<std::uint8_t>(body.size() >> 8));
        folder.insert(folder.end(), body.begin(), body.end());
    };
    const Bytes companion = rvk::EncodeZoom2(*zoom.fleets[0]->vehicles[0]);
    record(0, rvk::EncodeDocument(zoom));
    record(1 | 1 << 3, companion);
    record(1 | 2 << 3, Bytes{'x'});
    Write(root / "document_folder_fuzz", "companions.bin", folder);
    zoom.fleets[0]->vehicles.pop_back();
    Bytes temporary{1, 0};  // of a finished process, counter 0
    const Bytes smaller = rvk::EncodeDocument(zoom);
    temporary.insert(temporary.end(), smaller.begin(), smaller.end());
    record(4, temporary);
    temporary.resize(2);
    temporary.insert(temporary.end(), companion.begin(), companion.end());
    record(4 | 1 << 3, temporary);
    record(3, Bytes{0x00, 1 << 3, 2 << 3 | 1});  // rename both, remove the damaged one
    Write(root / "document_folder_fuzz", "killed_save.bin", folder);
    return 0;
}
