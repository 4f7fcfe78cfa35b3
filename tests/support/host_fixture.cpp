#include "host_fixture.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "formats/byte_io.h"
#include "formats/plane_codec.h"
#include "formats/zoom2_codec.h"

namespace rvk::hostfixture {

namespace {

constexpr std::string_view kCatalogueHeader = "VUVI vehicle catalogue\r\n";
constexpr std::string_view kArchiveHeader = "VUVI Zoom2 archive\r\n";

std::uint8_t PaletteCode(PixelValue pixel) {
    for (int code = 0; code < 256; ++code)
        if (HostPalette(static_cast<std::uint8_t>(code)) == pixel)
            return static_cast<std::uint8_t>(code);
    return 255;  // transparent
}

// Paints the visible area of a view: roof edge, window band, a stripe, bogies with gaps
// between them, and a sprinkle of single detail pixels, so runs are those of real files.
void PaintView(VehicleRec& v, int view, bool zoom2, std::mt19937& rng,
               const std::vector<PixelValue>& colours) {
    const auto pick = [&] { return colours[rng() % colours.size()]; };
    const PixelValue body = pick(), glass = pick(), frame = pick(), roof = pick();
    const PlaneRef ref = PlaneOf(&v, view, zoom2);
    const ViewSize size = ViewGeometry(&v, view, zoom2);
    const int top = RowOffset(v, view, zoom2);
    const int unit = zoom2 ? 2 : 1;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            PixelValue p = body;
            const int h = size.height, w = size.width;
            if (IsSideView(view)) {
                const int wx = x % (16 * unit);
                if (y < h / 7)
                    p = (x >= 3 * unit && x < w - 3 * unit) ? roof : kTransparent;
                else if (y >= h / 4 && y < h / 2)
                    p = (wx >= 3 * unit && wx < 13 * unit) ? glass : frame;
                else if (y >= h - h / 5)
                    p = (x % (40 * unit) < 12 * unit) ? frame : kTransparent;
            } else if (IsRoofView(view)) {
                p = (y % (20 * unit) < 2 * unit) ? frame : roof;
            } else if (y >= h / 5 && y < h / 2 && x > unit && x < w - 1 - unit) {
                p = glass;
            }
            if (rng() % 40 == 0) p = pick();
            ref.plane->set(x, y + top, p);
        }
}

std::vector<PixelValue> Colours(bool palette, std::mt19937& rng) {
    std::vector<PixelValue> colours;
    for (int i = 0; i < 12; ++i)
        colours.push_back(palette ? HostPalette(static_cast<std::uint8_t>(1 + rng() % 62))
                                  : (rng() & 0x00FFFFFF));
    return colours;
}

void WriteVehicle(const Vehicle& v, ByteWriter& out) {
    const VehicleRec& r = v.rec;
    out.u8(v.position);
    out.u16(r.Length);
    out.u16(r.HeightS);
    out.u16(r.Width);
    out.u16(r.HeightF);
    out.u32(r.Props);
    out.u8(static_cast<std::uint8_t>(v.steam.size()));
    for (const auto& point : v.steam)
        for (std::uint16_t value : point) out.u16(value);
    for (std::uint16_t number : v.info) out.u16(number);
    for (int view = 0; view < r.viewCount(); ++view) {
        if (r.Props & kPixels32) {
            EncodePlane(r, view, false, out);
            continue;
        }
        const ConstPlaneRef ref = PlaneOf(&r, view, false);
        const ViewSize size = ViewGeometry(&r, view, false);
        const int top = RowOffset(r, view, false);
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) out.u8(PaletteCode(ref.plane->at(x, y + top)));
    }
}

}  // namespace

std::vector<std::uint8_t> TextFile(const std::vector<std::string>& lines) {
    std::vector<std::uint8_t> bytes = {0xFF, 0xFE};
    for (const std::string& line : lines) {
        // UTF-8 to UTF-16 (the fixtures use the Basic Multilingual Plane only).
        for (std::size_t i = 0; i < line.size();) {
            const auto c = static_cast<unsigned char>(line[i]);
            char32_t cp = c;
            int extra = c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
            if (extra) cp = c & (extra == 2 ? 0x0F : 0x1F);
            for (++i; extra-- > 0 && i < line.size(); ++i)
                cp = (cp << 6) | (static_cast<unsigned char>(line[i]) & 0x3F);
            bytes.push_back(static_cast<std::uint8_t>(cp));
            bytes.push_back(static_cast<std::uint8_t>(cp >> 8));
        }
        bytes.insert(bytes.end(), {0x0D, 0x00, 0x0A, 0x00});
    }
    return bytes;
}

std::vector<std::uint8_t> CatalogueBytes(const std::vector<Set>& sets) {
    ByteWriter records;
    std::vector<std::size_t> at;
    for (const Set& s : sets) {
        at.push_back(records.size());
        records.u16(s.recordNumber);
        records.u16(static_cast<std::uint16_t>(s.vehicles.size()));
        records.u32(s.categories);
        records.u16(s.nameText);
        for (const Vehicle& v : s.vehicles) WriteVehicle(v, records);
    }
    ByteWriter out;
    out.text(kCatalogueHeader);
    out.u8(0x1A);
    out.u32(0x00010003);  // five bytes the readers leave alone
    out.u8(0);
    const std::size_t indexEnd = out.size() + 6 * sets.size() + 2;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        out.u16(sets[i].number);
        out.u32(static_cast<std::uint32_t>(indexEnd + at[i] - (out.size() + 4)));
    }
    out.u16(0);
    out.bytes(records.data());
    return std::move(out.data());
}

std::vector<std::uint8_t> ArchiveBytes(const std::vector<ArchiveRecord>& records) {
    ByteWriter out;
    out.text(kArchiveHeader);
    out.u8(0x1A);
    out.u32(0x00030002);
    std::size_t at = out.size() + 8 * records.size() + 8;
    for (const ArchiveRecord& r : records) {
        out.u32(r.key);
        out.u32(static_cast<std::uint32_t>(at - (out.size() + 4)));
        at += 12 + r.graphics.size();
    }
    out.u32(0);
    out.u32(0);
    for (const ArchiveRecord& r : records) {
        out.u32(r.recordKey);
        out.u32(0x11111111);
        out.u32(0x22222222);
        out.bytes(r.graphics);
    }
    return std::move(out.data());
}

Vehicle MakeVehicle(std::uint32_t seed, std::uint8_t position, std::uint16_t length,
                    bool eightViews, bool palette) {
    Vehicle v;
    v.position = position;
    VehicleRec& r = v.rec;
    r.Length = length;
    r.HeightS = 14;
    r.Width = static_cast<std::uint16_t>(10 + seed % 7);
    r.HeightF = static_cast<std::uint16_t>(9 + seed % 6);
    r.Props = (seed % 3 ? kMotorized : 0) | (seed % 4 ? 0 : kSingleEnded) |
              (eightViews ? kExtraViews : 0) | (palette ? 0 : kPixels32);
    std::mt19937 rng(seed);
    const auto colours = Colours(palette, rng);
    for (int view = 0; view < r.viewCount(); ++view) PaintView(r, view, false, rng, colours);
    return v;
}

std::vector<std::uint8_t> Zoom2Graphics(const Vehicle& vehicle, std::uint32_t seed,
                                        const std::string& info) {
    VehicleRec r = vehicle.rec;
    DeriveZoom2(r, info);
    std::mt19937 rng(seed);
    const auto colours = Colours(false, rng);
    for (int view = 0; view < r.viewCount(); ++view) PaintView(r, view, true, rng, colours);
    return EncodeZoom2(r);
}

Installation SmallInstallation() {
    Installation inst;
    inst.files["VUVI.INI"] = TextFile({"; host settings", "[Allgemein]", "Version=3", "sprache=2",
                                       "SPRACHE_F=vuvi_en.lnv", "sprache_f=other.lnv"});
    const std::vector<std::string> names = {"[Sets]",
                                            "0",
                                            "100",
                                            "DE Tatra T4",
                                            "101",
                                            "Tatra#tKT8",
                                            "102",
                                            "  alpha line",
                                            "103",
                                            "Boundary",
                                            "104",
                                            "Trolley",
                                            "105",
                                            "Hidden",
                                            "106",
                                            "Zoom set",
                                            "107",
                                            "Pair B",
                                            "108",
                                            "Pair A",
                                            "[Vehicles]",
                                            "200",
                                            "; comment before the text",
                                            "Motor car \xE2\x82\xAC",
                                            "201",
                                            "Trailer \xE2\x98\x83",
                                            "202",
                                            std::string(90, 'x')};
    std::vector<std::string> english = {"; texts of the host", ""};
    english.insert(english.end(), names.begin(), names.end());
    inst.files["vuvi_en.lnv"] = TextFile(english);
    inst.files["vuvi.lnv"] = TextFile({"100", "DE Strassenbahn", "103", "Grenze"});

    const auto vehicle = [](std::uint32_t seed, std::uint8_t position, std::uint16_t length,
                            bool eight = false, bool palette = false) {
        Vehicle v = MakeVehicle(seed, position, length, eight, palette);
        v.info = {200, 201, 0, 202, 999};
        return v;
    };
    Vehicle steamy = vehicle(2, 1, 48, true, true);
    steamy.steam = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    inst.sets = {
        {5001, 5001, 0x00001 | 0x00004, 100, {vehicle(1, 0, 32), steamy}},
        {5002, 5002, 0x00001, 101, {vehicle(3, 0, 40)}},
        {4999, 4999, 0x00001, 105, {vehicle(4, 0, 32)}},
        {5000, 5000, 0x00001, 103, {vehicle(5, 0, 32)}},
        {5003, 5003, 0x10000, 104, {vehicle(6, 0, 32)}},
        {5012, 5012, 0x00001, 106, {vehicle(7, 3, 32), vehicle(8, 4, 40), vehicle(9, 3, 32)}},
        {5020, 5021, 0x00001, 105, {vehicle(10, 0, 32)}},
        {5030, 5030, 0x00001, 102, {vehicle(11, 0, 64)}},
        {5040, 5040, 0x00001, 107, {vehicle(12, 2, 32)}},
        {5040, 5040, 0x00001, 108, {vehicle(13, 2, 32)}},
    };
    const auto& zoomSet = inst.sets[5].vehicles;
    // Graphics drawn for a vehicle of length 32: refused for the one of length 40.
    Vehicle shorter = zoomSet[1];
    shorter.rec.Length = 32;
    inst.files["vuvi.fz2"] = ArchiveBytes({
        {5001 * 16 + 5, 5001 * 16 + 5, Zoom2Graphics(inst.sets[0].vehicles[0], 20, "no such")},
        {5012 * 16 + 3, 5012 * 16 + 3, Zoom2Graphics(zoomSet[0], 22, "archive")},
        {5012 * 16 + 4, 5012 * 16 + 4, Zoom2Graphics(shorter, 23, "length 64")},
        {5003 * 16, 5003 * 16, Zoom2Graphics(inst.sets[4].vehicles[0], 24, "trolley")},
        {5002 * 16, 5002 * 16 + 1, Zoom2Graphics(inst.sets[1].vehicles[0], 25, "other key")},
        {5040 * 16 + 2, 5040 * 16 + 2, Zoom2Graphics(inst.sets[9].vehicles[0], 26, "pair")},
        {4999 * 16, 4999 * 16, Zoom2Graphics(inst.sets[2].vehicles[0], 27, "hidden")},
    });
    inst.files["VUVI.FZG"] = CatalogueBytes(inst.sets);
    inst.files["Zoom2/05012-03.fzz"] = Zoom2Graphics(zoomSet[0], 30, "alternative");
    inst.files["Zoom2/05012-04.fzz"] = Zoom2Graphics(zoomSet[1], 31, "alternative only");
    inst.files["Zoom2/05000-00.fzz"] = Zoom2Graphics(zoomSet[1], 32, "wrong length");
    return inst;
}

Installation LargeInstallation(int listed, int outside, std::uint32_t seed) {
    Installation inst;
    std::mt19937 rng(seed);
    std::vector<std::string> texts = {"; generated"};
    std::vector<ArchiveRecord> archive;
    const auto addSet = [&](std::uint16_t number, std::uint32_t categories, int count) {
        const auto nameText = static_cast<std::uint16_t>(1000 + inst.sets.size());
        texts.push_back(std::to_string(nameText));
        texts.push_back("Set " + std::to_string(rng() % 100000) + "#t" + std::to_string(number));
        Set set{number, number, categories, nameText, {}};
        for (int k = 0; k < count; ++k) {
            const auto s = static_cast<std::uint32_t>(rng());
            const auto length = static_cast<std::uint16_t>(40 + s % 161);
            Vehicle v =
                MakeVehicle(s, static_cast<std::uint8_t>(k), length, s % 2 == 0, s % 5 == 0);
            v.info = {nameText, 0, 0, 0, 0};
            if (s % 3 == 0) {
                const std::uint32_t key = number * 16u + static_cast<std::uint32_t>(k);
                archive.push_back({key, key, Zoom2Graphics(v, s + 1, "zoom2")});
            }
            set.vehicles.push_back(std::move(v));
        }
        inst.sets.push_back(std::move(set));
    };
    std::uint16_t number = 5000;
    for (int left = listed; left > 0; left -= 10)
        addSet(number++, kLargeFilter, std::min(left, 10));
    for (int i = 0; i < outside; ++i) addSet(number++, 0x00080, 8);
    inst.files["vuvi.ini"] = TextFile({"[Allgemein]", "sprache_f=vuvi.lnv"});
    inst.files["vuvi.lnv"] = TextFile(texts);
    inst.files["vuvi.fzg"] = CatalogueBytes(inst.sets);
    inst.files["vuvi.fz2"] = ArchiveBytes(archive);
    return inst;
}

void WriteInstallation(const Installation& installation, const std::string& folder) {
    namespace fs = std::filesystem;
    for (const auto& [name, bytes] : installation.files) {
        const fs::path path = fs::path(folder) / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
}

}  // namespace rvk::hostfixture
