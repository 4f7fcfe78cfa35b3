// Host installations made up for tests, benchmarks and end-to-end runs: the text
// files, the catalogue, the Zoom2 archive and the single Zoom2 files, written the way
// the host writes them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "records/vehicle.h"

namespace rvk::hostfixture {

// A host text file: byte order mark, then each line (UTF-8 here) as UTF-16LE with CR LF.
std::vector<std::uint8_t> TextFile(const std::vector<std::string>& lines);

struct Vehicle {
    std::uint8_t position = 0;
    // Sizes, Props and planes; the planes of a vehicle without Pixels32 hold only
    // HostPalette colours. Its steam points and info strings are the ones below.
    VehicleRec rec;
    std::vector<std::array<std::uint16_t, 3>> steam;
    std::array<std::uint16_t, 5> info{};  // text numbers
};

struct Set {
    std::uint16_t number = 0;        // in the index
    std::uint16_t recordNumber = 0;  // in the set record (the same in a sound catalogue)
    std::uint32_t categories = 0;
    std::uint16_t nameText = 0;
    std::vector<Vehicle> vehicles;
};

struct ArchiveRecord {
    std::uint32_t key = 0;               // in the index
    std::uint32_t recordKey = 0;         // at the record (the same in a sound archive)
    std::vector<std::uint8_t> graphics;  // a Zoom2 file's bytes
};

std::vector<std::uint8_t> CatalogueBytes(const std::vector<Set>& sets);
std::vector<std::uint8_t> ArchiveBytes(const std::vector<ArchiveRecord>& records);

// A vehicle with graphics shaped like a real one (body, windows, roof, bogies).
Vehicle MakeVehicle(std::uint32_t seed, std::uint8_t position, std::uint16_t length,
                    bool eightViews, bool palette);
// Its Zoom2 graphics as a file of the host: the normal ones doubled and drawn over.
std::vector<std::uint8_t> Zoom2Graphics(const Vehicle& vehicle, std::uint32_t seed,
                                        const std::string& info);

struct Installation {
    std::vector<Set> sets;
    std::map<std::string, std::vector<std::uint8_t>> files;  // relative path ('/') to bytes
};

// A small installation with every case the readers must get right (names below):
// vuvi.ini with SPRACHE_F=vuvi_en.lnv, files in upper and mixed case, sets inside and
// outside the filters, numbers 4999 and 5000, an index entry whose record carries
// another number, two sets with one number, archive keys for listed and unlisted
// sets, a refused block, a record with another key, and alternative Zoom2 files.
Installation SmallInstallation();

// A category shaped like the host's largest: `listed` vehicles in sets of about ten
// under filter kLargeFilter (lengths 40 to 200, 14 rows high, 6 or 8 views, a third
// with archive Zoom2 graphics), plus `outside` sets of other categories.
inline constexpr std::uint32_t kLargeFilter = 0x00400;
Installation LargeInstallation(int listed, int outside, std::uint32_t seed);

// Writes the files under the folder (created when missing).
void WriteInstallation(const Installation& installation, const std::string& folder);

}  // namespace rvk::hostfixture
