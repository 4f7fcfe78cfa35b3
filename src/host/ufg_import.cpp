#include "host/ufg_import.h"

#include <algorithm>
#include <array>
#include <optional>

#include "formats/byte_io.h"
#include "formats/codepage.h"
#include "host/host_file.h"
#include "records/document.h"
#include "storage/file_io.h"

namespace rvk {

namespace {

constexpr std::uint8_t kTextEnd = 0x1A;
constexpr std::size_t kUfgSignature = 5;
constexpr std::size_t kUzzSkipped = 3;
constexpr std::uint16_t kSideCountXor = 0x8000;
constexpr int kTileWidth = 8;
constexpr int kSideTileRows = 14;
constexpr int kRoofTileRows = 4;
constexpr std::size_t kSideTileBytes = kTileWidth * kSideTileRows;
constexpr std::size_t kRoofTileBytes = kTileWidth * kRoofTileRows;
constexpr std::uint8_t kTileNumber = 0x3F;
constexpr std::uint8_t kSteamStart = 0x80;
constexpr std::uint8_t kSteamLonger = 0x40;
// A side plane is 256 pixels wide, a roof plane 128 rows high: 32 columns of tiles.
constexpr int kMaxColumns = 32;
// A vehicle entry is its length byte and four tile-index bytes per column.
constexpr std::size_t kMinVehicleEntry = 1 + 4;
constexpr std::size_t kFleetNameField = 22;
constexpr std::size_t kMaxStrings = 30;
constexpr std::size_t kMaxStringLength = 60;
constexpr std::uint16_t kInfoIndexEnd = 0xFFFF;
constexpr std::string_view kNoName = "???";

// Directories of both files: entries of a non-zero tag and a 32-bit value, ended by a
// zero tag. Only the number of entries matters.
std::size_t CountDirectory(ByteReader& in) {
    std::size_t count = 0;
    while (in.u16() != 0 && in.ok()) {
        in.u32();
        ++count;
    }
    return count;
}

// One fleet block of the graphics file: false when it is damaged. The vehicles are
// counted into vehiclesInAll and, when `fleet` is given, appended to it.
bool ReadUfgFleet(ByteReader& in, std::size_t& vehiclesInAll, FleetRec* fleet) {
    in.u16();  // tag
    const std::size_t sideCount = in.u16() ^ kSideCountXor;
    const std::size_t roofCount = in.u16();
    const std::size_t vehicleCount = in.u16();
    in.u16();
    in.skipPast(0);
    if (!in.ok() || in.remaining() / kMinVehicleEntry < vehicleCount) return false;
    vehiclesInAll += vehicleCount;

    std::vector<std::span<const std::uint8_t>> entries(vehicleCount);
    for (auto& entry : entries) {
        const int columns = in.u8();
        if (columns == 0 || columns > kMaxColumns) return false;
        entry = in.bytes(4 * std::size_t(columns));
    }
    const auto sideTiles = in.bytes(sideCount * kSideTileBytes);
    const auto roofTiles = in.bytes(roofCount * kRoofTileBytes);
    if (!in.ok()) return false;

    if (fleet) fleet->vehicles.reserve(vehicleCount);
    for (const auto& entry : entries) {
        const int columns = static_cast<int>(entry.size() / 4);
        const auto tile = [&](int position) {
            return static_cast<std::size_t>(entry[position] & kTileNumber);
        };
        for (int p = 0; p < 4 * columns; ++p)
            if (tile(p) >= ((p / columns) % 2 == 0 ? sideCount : roofCount)) return false;
        if (!fleet) continue;

        auto v = std::make_unique<VehicleRec>();
        InitVehicle(*v);
        v->Length = static_cast<std::uint16_t>(kTileWidth * columns);
        v->HeightS = kSideTileRows;
        v->Width = kTileWidth;
        v->HeightF = 2;
        v->Steam.fill(1);
        for (int p = 0; p < columns; ++p) {
            if ((entry[p] & kSteamStart) && v->SteamCount == 0) {
                v->Steam[0] = static_cast<std::uint16_t>(kTileWidth * p + 4);
                v->Steam[1] = 9;
                v->Steam[2] = 4;
                v->SteamCount = 1;
            } else if ((entry[p] & kSteamLonger) && v->SteamCount == 1) {
                v->Steam[2] = static_cast<std::uint16_t>(v->Steam[2] + kTileWidth);
            }
        }
        v->Info[0] = kNoName;

        for (int c = 0; c < columns; ++c) {
            const auto right = sideTiles.subspan(tile(columns - 1 - c) * kSideTileBytes);
            const auto left = sideTiles.subspan(tile(2 * columns + c) * kSideTileBytes);
            for (int m = 0; m < kSideTileRows; ++m)
                for (int x = 0; x < kTileWidth; ++x) {
                    const int at = kTileWidth * m + x;
                    v->Planes[0].set(kTileWidth * c + x, m, HostPalette(right[at]));
                    v->Planes[1].set(kTileWidth * c + x, m, HostPalette(left[at]));
                }
            const auto south = roofTiles.subspan(tile(2 * columns - 1 - c) * kRoofTileBytes);
            const auto north = roofTiles.subspan(tile(3 * columns + c) * kRoofTileBytes);
            for (int m = 0; m < kRoofTileRows; ++m)
                for (int x = 0; x < kTileWidth; ++x) {
                    const int at = kTileWidth * m + x;
                    v->Planes[2].set(x, kRoofTileRows * c + m, HostPalette(south[at]));
                    v->Planes[4].set(x, kRoofTileRows * c + m, HostPalette(north[at]));
                }
        }
        fleet->vehicles.push_back(std::move(v));
    }
    return true;
}

struct UzzVehicle {
    std::uint32_t props = 0;
    std::vector<std::string> info;  // at most five, code page 850
};
struct UzzFleet {
    std::string name;
    std::vector<UzzVehicle> vehicles;
};

// The string table of a fleet record; nothing when it breaks the format's bounds.
std::optional<std::vector<std::string>> ReadStringTable(ByteReader& in) {
    std::vector<std::string> strings;
    while (true) {
        // Keeping one character more than allowed tells an overlong string.
        std::string s = in.readString(kMaxStringLength + 2, 0);
        if (!in.ok() || s.size() > kMaxStringLength || strings.size() == kMaxStrings)
            return std::nullopt;
        strings.push_back(std::move(s));
        const std::uint8_t next = in.u8();
        if (!in.ok()) return std::nullopt;
        if (next == 0) return strings;
        in.seek(in.pos() - 1);  // the first character of the next string
    }
}

// One fleet record of the companion file; nothing when it is damaged.
std::optional<UzzFleet> ReadUzzFleet(ByteReader& in, std::size_t vehicleCount) {
    UzzFleet fleet;
    in.skip(3 * 2);
    const std::size_t recordCount = in.u16();
    const auto name = in.bytes(kFleetNameField);
    in.skip(2 * 2);
    if (!in.ok() || recordCount > vehicleCount) return std::nullopt;
    fleet.name.assign(name.begin(), std::find(name.begin(), name.end(), 0));
    const auto strings = ReadStringTable(in);
    if (!strings) return std::nullopt;
    fleet.vehicles.resize(recordCount);
    for (UzzVehicle& v : fleet.vehicles) {
        in.u16();
        const std::uint16_t props = in.u16();
        in.skip(2 * 2);
        v.props = kPixels32 | (props & kSingleEnded) | (props & kRev) | (props & kMotorized);
        // Only five info strings exist; further indexes are read past.
        for (std::uint16_t index = in.u16(); index != kInfoIndexEnd; index = in.u16()) {
            if (!in.ok() || index >= strings->size()) return std::nullopt;
            if (v.info.size() < 5) v.info.push_back((*strings)[index]);
        }
    }
    return fleet;
}

void ApplyUzzFleet(const UzzFleet& record, FleetRec& fleet) {
    fleet.name = Cp850ToCp1252(record.name);
    for (std::size_t i = 0; i < record.vehicles.size(); ++i) {
        VehicleRec& v = *fleet.vehicles[i];
        v.Props = record.vehicles[i].props;
        for (std::size_t k = 0; k < record.vehicles[i].info.size(); ++k)
            v.Info[k] = Cp850ToCp1252(record.vehicles[i].info[k]);
    }
}

}  // namespace

std::string UfgCompanionPath(std::string_view ufgPath) {
    // Pairs come from Windows, so the companion's name may differ in case.
    const std::string plain = PathWithoutExtension(ufgPath) + ".uzz";
    const std::string name = FileNameOf(plain);
    return HostFilePath(plain.substr(0, plain.size() - name.size()), name);
}

UfgRead DecodeUfg(std::span<const std::uint8_t> bytes, UfgContent& out) {
    std::string info;
    std::size_t fleetCount = 0;
    const auto readHead = [&](ByteReader& in) {
        info = in.readString(kDocInfoLimit + 1, kTextEnd);
        in.skip(kUfgSignature);
        fleetCount = CountDirectory(in);
        return in.ok();
    };
    // Once to check the whole file and count what it holds, then, when that fits the
    // memory limit, again to build it.
    ByteReader check(bytes);
    if (!readHead(check)) return UfgRead::kDamaged;
    std::size_t vehicles = 0;
    for (std::size_t k = 0; k < fleetCount; ++k)
        if (!ReadUfgFleet(check, vehicles, nullptr)) return UfgRead::kDamaged;
    if (fleetCount > kUfgMaxMemory / sizeof(FleetRec) ||
        vehicles > (kUfgMaxMemory - fleetCount * sizeof(FleetRec)) / kUfgVehicleMemory)
        return UfgRead::kTooLarge;

    ByteReader in(bytes);
    readHead(in);
    std::vector<std::unique_ptr<FleetRec>> fleets(fleetCount);
    vehicles = 0;
    for (auto& fleet : fleets) {
        fleet = CreateFleet({});
        ReadUfgFleet(in, vehicles, fleet.get());
    }
    out.info = std::move(info);
    out.fleets = std::move(fleets);
    return UfgRead::kRead;
}

void NameRemainingFleets(std::vector<std::unique_ptr<FleetRec>>& fleets, std::size_t first) {
    for (std::size_t k = first; k < fleets.size(); ++k) fleets[k]->name = kNoName;
}

UzzOutcome ApplyUzz(std::span<const std::uint8_t> bytes,
                    std::vector<std::unique_ptr<FleetRec>>& fleets) {
    UzzOutcome outcome;
    ByteReader in(bytes);
    in.skipPast(kTextEnd);
    in.skip(kUzzSkipped);
    const std::size_t recordCount = CountDirectory(in);
    std::size_t named = 0;
    if (!in.ok()) {
        outcome.damaged = true;
    } else {
        outcome.countsDiffer = recordCount != fleets.size();
        const std::size_t n = std::min(recordCount, fleets.size());
        for (; named < n; ++named) {
            const auto record = ReadUzzFleet(in, fleets[named]->vehicles.size());
            if (!record) {
                outcome.damaged = true;
                break;
            }
            ApplyUzzFleet(*record, *fleets[named]);
        }
    }
    NameRemainingFleets(fleets, named);
    return outcome;
}

UfgImport ImportUfgPair(const std::string& ufgPath) {
    UfgImport result;
    result.companionPath = UfgCompanionPath(ufgPath);
    const auto fail = [&](UfgStatus status, int text, std::string arg) {
        result.status = status;
        result.messages.push_back(Message{text, std::move(arg)});
        return std::move(result);
    };
    if (!FileExists(result.companionPath))
        return fail(UfgStatus::kCompanionMissing, kTextCannotOpen, "*.UZZ");
    const auto graphics = ReadFileBytes(ufgPath);
    if (!graphics) return fail(UfgStatus::kGraphicsUnreadable, kTextCannotOpen, "*.UFG");
    auto content = std::make_unique<UfgContent>();
    switch (DecodeUfg(*graphics, *content)) {
        case UfgRead::kRead:
            break;
        case UfgRead::kDamaged:
            return fail(UfgStatus::kGraphicsDamaged, kTextGraphicsDamaged, ufgPath);
        case UfgRead::kTooLarge:
            return fail(UfgStatus::kGraphicsTooLarge, kTextPairTooLarge, ufgPath);
    }
    result.content = std::move(content);

    const auto companion = ReadFileBytes(result.companionPath);
    if (!companion) {
        NameRemainingFleets(result.content->fleets, 0);
        return fail(UfgStatus::kCompanionUnreadable, kTextCannotOpen, "*.UZZ");
    }
    const UzzOutcome outcome = ApplyUzz(*companion, result.content->fleets);
    result.countsDiffer = outcome.countsDiffer;
    if (outcome.countsDiffer) result.messages.push_back(Message{kTextFleetCountsDiffer, {}});
    if (outcome.damaged)
        return fail(UfgStatus::kCompanionDamaged, kTextCompanionDamaged, result.companionPath);
    return result;
}

}  // namespace rvk
