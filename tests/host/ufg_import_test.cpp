// Reading pairs of the older tile-based vehicle files: every field, and damaged input.
#include "host/ufg_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "doc_test_util.h"
#include "storage/file_io.h"
#include "ufg_pair.h"

namespace rvk {
namespace {

using namespace ufgtest;

UfgContent Decoded(const Bytes& ufg) {
    UfgContent content;
    EXPECT_EQ(DecodeUfg(ufg, content), UfgRead::kRead);
    return content;
}

// The colour of the body and of the top-left corner of a tile.
struct TileLook {
    PixelValue body;
    PixelValue corner;
};
TileLook SideTileLook(std::uint8_t first, int tile) {
    return {HostPalette(static_cast<std::uint8_t>(first + tile)),
            HostPalette(static_cast<std::uint8_t>(40 + tile))};
}
TileLook RoofTileLook(std::uint8_t first, int tile) {
    return {HostPalette(static_cast<std::uint8_t>(first + 10 + tile)),
            HostPalette(static_cast<std::uint8_t>(50 + tile))};
}

// Each column of the side views and each quarter-row block of the roof views shows
// the tile the format places there.
void ExpectTiles(const VehicleRec& v, std::uint8_t first, const Bytes& index) {
    const int columns = static_cast<int>(index.size() / 4);
    ASSERT_EQ(v.Length, 8 * columns);
    for (int c = 0; c < columns; ++c) {
        const struct {
            int view;
            int position;
            bool side;
        } places[] = {{0, columns - 1 - c, true},
                      {1, 2 * columns + c, true},
                      {2, 2 * columns - 1 - c, false},
                      {4, 3 * columns + c, false}};
        for (const auto& p : places) {
            const int tile = index[p.position] & 0x3F;
            const TileLook look = p.side ? SideTileLook(first, tile) : RoofTileLook(first, tile);
            const Plane& plane = v.Planes[p.view];
            const int x0 = p.side ? 8 * c : 0, y0 = p.side ? 0 : 4 * c;
            EXPECT_EQ(plane.at(x0, y0), look.corner) << "view " << p.view << " column " << c;
            EXPECT_EQ(plane.at(x0 + 7, y0 + (p.side ? 13 : 3)), look.body)
                << "view " << p.view << " column " << c;
        }
    }
    for (int view : {3, 5, 6, 7}) EXPECT_FALSE(v.Planes[view].allocated()) << view;
}

TEST(UfgImport, ReadsEveryFieldOfAPair) {
    UfgContent content = Decoded(SampleUfg());
    EXPECT_EQ(content.info, "Sample pair\r\nline 2");
    ASSERT_EQ(content.fleets.size(), 2u);
    const UzzOutcome outcome = ApplyUzz(SampleUzz(), content.fleets);
    EXPECT_FALSE(outcome.countsDiffer || outcome.damaged);

    EXPECT_EQ(content.fleets[0]->name, "Tr\xE4mways");
    EXPECT_EQ(content.fleets[1]->name, "Steam");
    const UfgFleet sample = SampleUfgFleet(0);
    struct Expected {
        std::uint32_t props;
        std::array<std::string, 5> info;
        std::uint8_t steamCount;
        std::array<std::uint16_t, 3> steam;
    };
    const Expected expected[2][3] = {{{0x8241, {"c\xFC", "ab", "", "", ""}, 1, {4, 9, 4}},
                                      {0x0201, {"???", "", "", "", ""}, 0, {1, 1, 1}},
                                      {0x0200, {"ab", "", "", "", ""}, 1, {4, 9, 20}}},
                                     {{0x8200, {"Loco", "", "", "", ""}, 1, {4, 9, 4}},
                                      {0x8301, {"???", "", "", "", ""}, 0, {1, 1, 1}},
                                      {0x8301, {"???", "", "", "", ""}, 1, {4, 9, 20}}}};
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(content.fleets[k]->vehicles.size(), 3u);
        for (int j = 0; j < 3; ++j) {
            SCOPED_TRACE(::testing::Message() << "fleet " << k << " vehicle " << j);
            const VehicleRec& v = *content.fleets[k]->vehicles[j];
            const Expected& e = expected[k][j];
            EXPECT_EQ(v.Props, e.props);
            EXPECT_EQ(v.Info, e.info);
            EXPECT_EQ(v.HeightS, 14);
            EXPECT_EQ(v.Width, 8);
            EXPECT_EQ(v.HeightF, 2);
            EXPECT_FALSE(v.Zoom2Exists);
            EXPECT_EQ(v.SteamCount, e.steamCount);
            EXPECT_EQ(v.Steam[0], e.steam[0]);
            EXPECT_EQ(v.Steam[1], e.steam[1]);
            EXPECT_EQ(v.Steam[2], e.steam[2]);
            for (int s = 3; s < 9; ++s) EXPECT_EQ(v.Steam[s], 1);
            EXPECT_TRUE(SizesFit(v));
            ExpectTiles(v, k == 0 ? 1 : 20, sample.vehicles[j]);
        }
    }
}

TEST(UfgImport, SteamMarksAndTileFlags) {
    // Positions 0..L-1 carry the marks; the same bits elsewhere, a second start and a
    // lengthening before any start change nothing. Tile numbers drop both flag bits.
    const struct {
        Bytes sideTiles;  // positions 0..L-1
        std::uint8_t count;
        std::uint16_t x, length;
    } cases[] = {
        {{0x85, 0x43, 0x40, 0x07}, 1, 4, 20},
        {{0x40, 0x80, 0x40, 0x80}, 1, 12, 12},
        {{0x00, 0x00, 0x00, 0xC0}, 1, 28, 4},
        {{0x00, 0x40, 0x00, 0x00}, 0, 1, 1},
    };
    for (const auto& c : cases) {
        UfgFleet f = SampleUfgFleet(1);
        Bytes index = c.sideTiles;
        const Bytes rest = {0xC0, 0x81, 0x42, 0x80, 0x40, 0x41, 0x42, 0xC3, 0x80, 0x81, 0x82, 0x42};
        index.insert(index.end(), rest.begin(), rest.end());
        f.vehicles = {index};
        UfgContent content = Decoded(UfgFile("", {f}));
        const VehicleRec& v = *content.fleets[0]->vehicles[0];
        EXPECT_EQ(v.SteamCount, c.count);
        EXPECT_EQ(v.Steam[0], c.x);
        EXPECT_EQ(v.Steam[2], c.length);
        ExpectTiles(v, 1, index);
    }
}

TEST(UfgImport, DamagedGraphicsFileIsRefusedWhole) {
    const auto withVehicle = [](Bytes index) {
        UfgFleet f = SampleUfgFleet(1);
        f.vehicles.push_back(std::move(index));
        return UfgFile("h", {f});
    };
    const auto fleets = [](std::size_t n, std::size_t vehicles) {
        UfgFleet f;
        f.sideTiles = {Tile(14, 1, 1)};
        f.roofTiles = {Tile(4, 1, 1)};
        f.vehicles.assign(vehicles, Bytes{0, 0, 0, 0});
        return UfgFile("h", std::vector<UfgFleet>(n, f));
    };
    Bytes storedSideCount = SampleUfg();
    const std::size_t firstBlock = std::string_view("Sample pair\r\nline 2").size() + 1 + 5 + 14;
    storedSideCount[firstBlock + 3] ^= 0x80;  // 8 tiles stored without the XOR
    constexpr UfgRead kRead = UfgRead::kRead, kDamaged = UfgRead::kDamaged;
    // Fleets and vehicles are bounded by the memory they take, not by a count.
    const std::size_t tooManyVehicles = kUfgMaxMemory / kUfgVehicleMemory + 1;
    const struct {
        const char* what;
        Bytes ufg;
        UfgRead read;
    } cases[] = {
        {"length 32", withVehicle(Bytes(128, 0)), kRead},
        {"length 0", withVehicle({}), kDamaged},
        {"length 33", withVehicle(Bytes(132, 0)), kDamaged},
        {"highest side and roof tiles", withVehicle({7, 2, 0xC7, 0x82}), kRead},
        {"side tile not below S", withVehicle({8, 0, 0, 0}), kDamaged},
        {"left side tile not below S", withVehicle({0, 0, 0x48, 0}), kDamaged},
        {"roof tile not below R", withVehicle({0, 3, 0, 0}), kDamaged},
        {"north roof tile not below R", withVehicle({0, 0, 0, 0x83}), kDamaged},
        {"side count without its XOR", storedSideCount, kDamaged},
        {"no end-of-text mark", Bytes{'a', 'b'}, kDamaged},
        {"1,024 fleets of one vehicle", fleets(1024, 1), kRead},
        {"1,025 fleets", fleets(1025, 0), kRead},
        {"1,025 vehicles in one fleet", fleets(1, 1025), kRead},
        {"more vehicles than the memory limit holds", fleets(2, tooManyVehicles / 2 + 1),
         UfgRead::kTooLarge},
        {"damage after a fleet too large",
         [&] {
             Bytes b = fleets(1, tooManyVehicles);
             return Bytes(b.begin(), b.end() - 1);
         }(),
         kDamaged},
    };
    for (const auto& c : cases) {
        UfgContent content;
        content.info = "before";
        EXPECT_EQ(DecodeUfg(c.ufg, content), c.read) << c.what;
        if (c.read != kRead) {
            EXPECT_TRUE(content.info == "before" && content.fleets.empty()) << c.what;
        }
    }
    // A file ending anywhere.
    const Bytes whole = SampleUfg();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        UfgContent content;
        EXPECT_EQ(DecodeUfg(std::span(whole).first(n), content), kDamaged) << n;
    }
}

TEST(UfgImport, HeaderTextIsCutTo2047Characters) {
    const UfgContent content = Decoded(UfgFile(std::string(3000, 'x'), {}));
    EXPECT_EQ(content.info, std::string(2047, 'x'));
    EXPECT_TRUE(content.fleets.empty());
}

// The sample's fleets (as many as asked) after applying a companion.
struct Applied {
    UzzOutcome outcome;
    std::vector<std::unique_ptr<FleetRec>> fleets;
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& f : fleets) out.push_back(f->name);
        return out;
    }
    const VehicleRec& first() const { return *fleets[0]->vehicles[0]; }
};
Applied Apply(const Bytes& uzz, std::size_t fleetCount = 2) {
    Applied a;
    a.fleets = Decoded(UfgFile("", std::vector<UfgFleet>(fleetCount, SampleUfgFleet(1)))).fleets;
    a.outcome = ApplyUzz(uzz, a.fleets);
    return a;
}

TEST(UfgImport, CompanionBoundsAndCounts) {
    const auto fleet = [](std::vector<std::string> strings, std::vector<UzzVehicle> vehicles) {
        return UzzFleet{"A", std::move(strings), std::move(vehicles)};
    };
    const UzzFleet second{"B", {"x"}, {}};
    const std::vector<std::string> thirty(30, "s"), sixty{std::string(60, 'y')};
    const struct {
        const char* what;
        Bytes uzz;
        std::size_t fleetCount;
        bool countsDiffer, damaged;
        std::vector<std::string> names;
        std::string info0, info4;
    } cases[] = {
        {"one record for three fleets",
         UzzFile({fleet({"n"}, {{0, {0}}})}),
         3,
         true,
         false,
         {"A", "???", "???"},
         "n",
         ""},
        {"more records than fleets",
         UzzFile({fleet({"n"}, {}), second, second}),
         2,
         true,
         false,
         {"A", "B"},
         "???",
         ""},
        {"thirty strings of sixty",
         UzzFile({fleet(thirty, {{0, {29}}}), fleet(sixty, {{0, {0}}})}),
         2,
         false,
         false,
         {"A", "A"},
         "s",
         ""},
        {"six indexes, five used",
         UzzFile({fleet({"a", "b"}, {{0, {1, 0, 0, 0, 1, 0}}}), second}),
         2,
         false,
         false,
         {"A", "B"},
         "b",
         "b"},
        {"31 strings",
         UzzFile({second, fleet(std::vector<std::string>(31, "s"), {})}),
         2,
         false,
         true,
         {"B", "???"},
         "???",
         ""},
        {"string of 61",
         UzzFile({fleet({std::string(61, 'z')}, {}), second}),
         2,
         false,
         true,
         {"???", "???"},
         "???",
         ""},
        {"string number beyond the table",
         UzzFile({second, fleet({"a"}, {{0, {1}}})}),
         2,
         false,
         true,
         {"B", "???"},
         "???",
         ""},
        {"more records than vehicles",
         UzzFile({fleet({"a"}, std::vector<UzzVehicle>(4, UzzVehicle{})), second}),
         2,
         false,
         true,
         {"???", "???"},
         "???",
         ""},
        {"name without NUL",
         UzzFile({UzzFleet{std::string(22, 'N'), {"s"}, {}}, second}),
         2,
         false,
         false,
         {std::string(22, 'N'), "B"},
         "???",
         ""},
        {"no end-of-text mark", Bytes{'a', 'b', 'c'}, 2, false, true, {"???", "???"}, "???", ""},
    };
    for (const auto& c : cases) {
        const Applied a = Apply(c.uzz, c.fleetCount);
        EXPECT_EQ(a.outcome.countsDiffer, c.countsDiffer) << c.what;
        EXPECT_EQ(a.outcome.damaged, c.damaged) << c.what;
        EXPECT_EQ(a.names(), c.names) << c.what;
        EXPECT_EQ(a.first().Info[0], c.info0) << c.what;
        EXPECT_EQ(a.first().Info[4], c.info4) << c.what;
        // A damaged record leaves its vehicles as the graphics file made them.
        if (c.names[0] == "???") {
            EXPECT_EQ(a.first().Props, kDefaultProps) << c.what;
        }
    }
    // A file ending anywhere: the fleets whose records were whole keep their names.
    const Bytes whole = SampleUzz();
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const Applied a = Apply(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        EXPECT_TRUE(a.outcome.damaged) << n;
        EXPECT_TRUE(a.names()[0] == "???" || a.names()[0] == "Tr\xE4mways") << n;
        EXPECT_EQ(a.names()[1], "???") << n;
    }
}

TEST(UfgImport, ImportOfFilesReportsWhatTheWindowShows) {
    testing::TempDir dir;
    const std::string ufg = dir.file("pair.v1.ufg"), uzz = dir.file("pair.v1.uzz");
    EXPECT_EQ(UfgCompanionPath(ufg), uzz);
    EXPECT_EQ(UfgCompanionPath(dir.file("x.y/noext")), dir.file("x.y/noext.uzz"));

    const auto import = [&](const Bytes* graphics, const Bytes* companion) {
        std::filesystem::remove(ufg);
        std::filesystem::remove(uzz);
        if (graphics) WriteBytes(ufg, *graphics);
        if (companion) WriteBytes(uzz, *companion);
        return ImportUfgPair(ufg);
    };
    const Bytes good = SampleUfg(), companion = SampleUzz();
    const Bytes damagedUfg(good.begin(), good.end() - 1),
        damagedUzz(companion.begin(), companion.end() - 1);
    const Bytes oneFleet = UzzFile({SampleUzzFleets()[0]});
    UfgFleet crowded = SampleUfgFleet(1);
    crowded.vehicles.assign(kUfgMaxMemory / kUfgVehicleMemory + 1, Bytes{0, 0, 0, 0});
    const Bytes tooLarge = UfgFile("", {crowded});
    const struct {
        const char* what;
        const Bytes* ufg;
        const Bytes* uzz;
        UfgStatus status;
        std::vector<Message> messages;
        std::vector<std::string> names;  // empty: no document
    } cases[] = {
        {"whole pair", &good, &companion, UfgStatus::kOk, {}, {"Tr\xE4mways", "Steam"}},
        {"no companion", &good, nullptr, UfgStatus::kCompanionMissing, {{555, "*.UZZ"}}, {}},
        {"no graphics file",
         nullptr,
         &companion,
         UfgStatus::kGraphicsUnreadable,
         {{555, "*.UFG"}},
         {}},
        {"damaged graphics",
         &damagedUfg,
         &companion,
         UfgStatus::kGraphicsDamaged,
         {{573, ufg}},
         {}},
        {"damaged companion",
         &good,
         &damagedUzz,
         UfgStatus::kCompanionDamaged,
         {{574, uzz}},
         {"Tr\xE4mways", "???"}},
        {"counts differ", &good, &oneFleet, UfgStatus::kOk, {{557, ""}}, {"Tr\xE4mways", "???"}},
        {"too large", &tooLarge, &companion, UfgStatus::kGraphicsTooLarge, {{575, ufg}}, {}},
    };
    for (const auto& c : cases) {
        const UfgImport result = import(c.ufg, c.uzz);
        EXPECT_EQ(result.status, c.status) << c.what;
        EXPECT_EQ(result.messages, c.messages) << c.what;
        ASSERT_EQ(result.content != nullptr, !c.names.empty()) << c.what;
        if (!result.content) continue;
        std::vector<std::string> names;
        for (const auto& f : result.content->fleets) names.push_back(f->name);
        EXPECT_EQ(names, c.names) << c.what;
    }
    // A companion too large to be read is named by its pattern; the fleets stay unnamed.
    WriteBytes(ufg, good);
    std::filesystem::resize_file(uzz, kMaxFileBytes + 1);
    const UfgImport unreadable = ImportUfgPair(ufg);
    EXPECT_EQ(unreadable.status, UfgStatus::kCompanionUnreadable);
    EXPECT_EQ(unreadable.messages, (std::vector<Message>{{555, "*.UZZ"}}));
    // Files copied from Windows: the companion is found whatever the case of its name.
    const std::string upper = dir.file("D.UFG"), lower = dir.file("d.Uzz");
    WriteBytes(upper, good);
    WriteBytes(lower, companion);
    EXPECT_EQ(ImportUfgPair(upper).status, UfgStatus::kOk);
    // A companion that is a folder is no file; a graphics "file" that is one cannot
    // be read.
    std::filesystem::remove(uzz);
    std::filesystem::create_directory(uzz);
    EXPECT_EQ(ImportUfgPair(ufg).status, UfgStatus::kCompanionMissing);
    std::filesystem::remove(uzz);
    std::filesystem::remove(ufg);
    WriteBytes(uzz, companion);
    std::filesystem::create_directory(ufg);
    EXPECT_EQ(ImportUfgPair(ufg).status, UfgStatus::kGraphicsUnreadable);
}

}  // namespace
}  // namespace rvk
