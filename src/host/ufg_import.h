// Pairs of the host's older tile-based vehicle files: the graphics file (.ufg) with
// the tiles and, per fleet, which tiles make up each vehicle, and its companion (.uzz)
// with the fleet names, the property bits and the info strings. Both are only read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/vehicle.h"
#include "storage/file_messages.h"

namespace rvk {

inline constexpr int kTextFleetCountsDiffer = 557;  // a warning, not an error
inline constexpr int kTextGraphicsDamaged = 573;    // "%s is damaged", nothing imported
inline constexpr int kTextCompanionDamaged = 574;   // "%s is damaged", names partly read
inline constexpr int kTextPairTooLarge = 575;       // "%s too large", nothing imported

// A pair may hold more fleets and vehicles than a document allows, and all are kept.
// The file's size bounds the counts; a pair whose fleets and vehicles would take more
// memory than this is refused as too large.
inline constexpr std::size_t kUfgMaxMemory = 256u << 20;
// What one vehicle takes: its record and the four planes its tiles fill.
inline constexpr std::size_t kUfgVehicleMemory =
    sizeof(VehicleRec) + sizeof(PixelValue) * 2 *
                             (std::size_t(kPlaneWidth[0]) * std::size_t(kPlaneHeight[0]) +
                              std::size_t(kPlaneWidth[2]) * std::size_t(kPlaneHeight[2]));

// The graphics path up to the dot of its extension, then ".uzz", found in its folder
// ignoring case as host files are.
std::string UfgCompanionPath(std::string_view ufgPath);

// Info text and fleets as a new document takes them. Fleet names are empty until
// the companion file gives them.
struct UfgContent {
    std::string info;  // the header text, at most 2047 characters
    std::vector<std::unique_ptr<FleetRec>> fleets;
};

enum class UfgRead { kRead, kDamaged, kTooLarge };
// Reads a graphics file; out is left as it was unless it is read.
UfgRead DecodeUfg(std::span<const std::uint8_t> bytes, UfgContent& out);

struct UzzOutcome {
    bool countsDiffer = false;  // the two files name different numbers of fleets
    bool damaged = false;       // reading stopped at a fault
};
// Gives the fleets their names, and their vehicles properties and info strings, from
// a companion file, fleet record by fleet record. A fleet whose record is missing or
// damaged, and every fleet after a damaged one, is named "???" and keeps its
// vehicles as the graphics file left them.
UzzOutcome ApplyUzz(std::span<const std::uint8_t> bytes,
                    std::vector<std::unique_ptr<FleetRec>>& fleets);
// Every fleet from `first` on is named "???": the companion gave it no name.
void NameRemainingFleets(std::vector<std::unique_ptr<FleetRec>>& fleets, std::size_t first);

enum class UfgStatus {
    kOk,                   // imported (countsDiffer: the fleets beyond the shorter file are "???")
    kCompanionMissing,     // nothing imported
    kGraphicsUnreadable,   // nothing imported
    kGraphicsDamaged,      // nothing imported
    kGraphicsTooLarge,     // nothing imported
    kCompanionUnreadable,  // imported without names
    kCompanionDamaged,     // imported with the names read before the fault
};

struct UfgImport {
    UfgStatus status = UfgStatus::kOk;
    bool countsDiffer = false;
    std::string companionPath;
    // Set whenever a new document is to be created (every status but the
    // "nothing imported" ones).
    std::unique_ptr<UfgContent> content;
    // What to tell the user, in order: 557 is a warning, every other text an error.
    std::vector<Message> messages;
};

// The whole import of the pair whose graphics file is at ufgPath.
UfgImport ImportUfgPair(const std::string& ufgPath);

}  // namespace rvk
