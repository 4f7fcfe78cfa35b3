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

#include "model/document.h"
#include "model/vehicle.h"

namespace rvk {

inline constexpr int kTextFleetCountsDiffer = 557;  // a warning, not an error
inline constexpr int kTextGraphicsDamaged = 573;    // "%s is damaged", nothing imported
inline constexpr int kTextCompanionDamaged = 574;   // "%s is damaged", names partly read

// A pair may hold more fleets and vehicles than a document allows, and all are kept.
// Counts beyond these hold in no real pair; they are taken as damage so that a small
// damaged file cannot make the reader allocate without bound.
inline constexpr std::size_t kUfgMaxFleets = 1024;
inline constexpr std::size_t kUfgMaxVehicles = 1024;  // in all fleets together

// The graphics path up to the dot of its extension, then ".uzz".
std::string UfgCompanionPath(std::string_view ufgPath);

// Info text and fleets as a new document takes them. Fleet names are empty until
// the companion file gives them.
struct UfgContent {
    std::string info;  // the header text, at most 2047 characters
    std::vector<std::unique_ptr<FleetRec>> fleets;
};

// Reads a graphics file; false when it is damaged (out is then left as it was).
bool DecodeUfg(std::span<const std::uint8_t> bytes, UfgContent& out);

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
    kCompanionUnreadable,  // imported without names
    kCompanionDamaged,     // imported with the names read before the fault
};

struct UfgImport {
    UfgStatus status = UfgStatus::kOk;
    bool countsDiffer = false;
    std::string companionPath;
    // Set whenever a new document is to be created (every status but the three
    // "nothing imported" ones).
    std::unique_ptr<UfgContent> content;
    // What to tell the user, in order: 557 is a warning, every other text an error.
    std::vector<Message> messages;
};

// The whole import of the pair whose graphics file is at ufgPath.
UfgImport ImportUfgPair(const std::string& ufgPath);

}  // namespace rvk
