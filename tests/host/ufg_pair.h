// Small pairs of the older tile-based vehicle files (.ufg graphics, .uzz companion),
// written byte by byte after the format's tables, for the tests of every layer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace rvk::ufgtest {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutU32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}
inline void PutDirectory(Bytes& b, std::size_t entries) {
    for (std::size_t i = 0; i < entries; ++i) {
        PutU16(b, 0x100 + static_cast<unsigned>(i));
        PutU32(b, 0xDEADBEEF);
    }
    PutU16(b, 0);
}

// A side tile (14 rows of 8 codes) or roof tile (4 rows) in one palette code, with
// its top-left code `corner` so that tiles and their orientation can be told apart.
inline Bytes Tile(int rows, std::uint8_t code, std::uint8_t corner) {
    Bytes t(8 * static_cast<std::size_t>(rows), code);
    t[0] = corner;
    return t;
}

struct UfgFleet {
    std::vector<Bytes> vehicles;  // 4 x L tile-index bytes each; L = size / 4
    std::vector<Bytes> sideTiles;
    std::vector<Bytes> roofTiles;
    unsigned lengthOverride = 0;  // a length byte other than size / 4, when not 0
};

inline Bytes UfgFile(const std::string& header, const std::vector<UfgFleet>& fleets) {
    Bytes b;
    PutText(b, header);
    b.push_back(0x1A);
    PutText(b, "SIGN5");
    PutDirectory(b, fleets.size());
    for (const UfgFleet& f : fleets) {
        PutU16(b, 0x4711);
        PutU16(b, static_cast<unsigned>(f.sideTiles.size()) ^ 0x8000);
        PutU16(b, static_cast<unsigned>(f.roofTiles.size()));
        PutU16(b, static_cast<unsigned>(f.vehicles.size()));
        PutU16(b, 0xFFFF);
        PutText(b, "skipped text");
        b.push_back(0);
        for (const Bytes& v : f.vehicles) {
            b.push_back(
                static_cast<std::uint8_t>(f.lengthOverride ? f.lengthOverride : v.size() / 4));
            b.insert(b.end(), v.begin(), v.end());
        }
        for (const Bytes& t : f.sideTiles) b.insert(b.end(), t.begin(), t.end());
        for (const Bytes& t : f.roofTiles) b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

struct UzzVehicle {
    unsigned props = 0;
    std::vector<unsigned> info;  // string numbers; the 0xFFFF end is added
};
struct UzzFleet {
    std::string name;                  // written into the 22-byte field, NUL-padded
    std::vector<std::string> strings;  // at least one; written as the table holds them
    std::vector<UzzVehicle> vehicles;
};

inline Bytes UzzFile(const std::vector<UzzFleet>& fleets, std::size_t directoryEntries) {
    Bytes b;
    PutText(b, "companion header");
    b.push_back(0x1A);
    PutText(b, "abc");
    PutDirectory(b, directoryEntries);
    for (const UzzFleet& f : fleets) {
        for (int i = 0; i < 3; ++i) PutU16(b, 0x1234);
        PutU16(b, static_cast<unsigned>(f.vehicles.size()));
        Bytes name(22, 0);
        std::copy_n(f.name.begin(), std::min<std::size_t>(f.name.size(), 22), name.begin());
        b.insert(b.end(), name.begin(), name.end());
        PutU16(b, 0x5555);
        PutU16(b, 0x5555);
        for (const std::string& s : f.strings) {
            PutText(b, s);
            b.push_back(0);
        }
        b.push_back(0);
        for (const UzzVehicle& v : f.vehicles) {
            PutU16(b, 0x7777);
            PutU16(b, v.props);
            PutU16(b, 0x7777);
            PutU16(b, 0x7777);
            for (unsigned i : v.info) PutU16(b, i);
            PutU16(b, 0xFFFF);
        }
    }
    return b;
}
inline Bytes UzzFile(const std::vector<UzzFleet>& fleets) {
    return UzzFile(fleets, fleets.size());
}

// A fleet of three vehicles, L = 1, 2 and 4, over eight side and three roof tiles. Tile
// t is palette code first + t (roof tiles first + 10 + t) with a corner of code
// 40 + t (roof 50 + t). The third vehicle carries the steam marks 0x85, 0x43, 0x40.
inline UfgFleet SampleUfgFleet(std::uint8_t first) {
    UfgFleet f;
    for (std::uint8_t t = 0; t < 8; ++t)
        f.sideTiles.push_back(Tile(14, static_cast<std::uint8_t>(first + t), 40 + t));
    for (std::uint8_t t = 0; t < 3; ++t)
        f.roofTiles.push_back(Tile(4, static_cast<std::uint8_t>(first + 10 + t), 50 + t));
    f.vehicles = {{0x80, 1, 2, 0},
                  {0, 1, 2, 1, 0, 1, 2, 2},
                  {0x85, 0x43, 0x40, 0x07, 0, 1, 2, 0, 3, 2, 1, 6, 2, 2, 1, 1}};
    return f;
}
// Two such fleets; the companion names both (one with a code page 850 umlaut), gives
// the first fleet's three vehicles properties and info strings, and only the first
// vehicle of the second fleet a record.
inline Bytes SampleUfg() {
    return UfgFile("Sample pair\r\nline 2", {SampleUfgFleet(1), SampleUfgFleet(20)});
}
inline std::vector<UzzFleet> SampleUzzFleets() {
    return {{"Tr\x84mways", {"ab", "c\x81"}, {{0x8041, {1, 0}}, {0x0001, {}}, {0x0000, {0}}}},
            {"Steam", {"Loco"}, {{0x8000, {0}}}}};
}
inline Bytes SampleUzz() {
    return UzzFile(SampleUzzFleets());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace rvk::ufgtest
