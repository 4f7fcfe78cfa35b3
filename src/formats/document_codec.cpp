#include "formats/document_codec.h"

#include <algorithm>
#include <array>
#include <map>

#include "formats/byte_io.h"
#include "formats/plane_codec.h"

namespace rvk {

namespace {

constexpr std::uint8_t kInfoEnd = 0x1A;
constexpr std::array<std::uint8_t, 5> kSignature = {0x46, 0x5A, 0xC7, 0x38, 0x30};
constexpr std::uint16_t kFirstFleetTag = 4000;
constexpr std::uint32_t kBlockConstant = 0x00008000;
// Index byte, four sizes, Props and the steam count: a record with empty views.
constexpr std::size_t kMinVehicleRecord = 1 + 4 * 2 + 4 + 1;
// Five empty info strings, each just its NUL.
constexpr std::size_t kMinVehicleStrings = 5;

// A stored string ends at its first NUL, whatever the in-memory string holds, and
// fits its field.
void PutCString(ByteWriter& out, std::string_view s, std::size_t capacity) {
    out.cstring(s.substr(0, s.find('\0')), capacity);
}

void EncodeFleet(const FleetRec& fleet, std::uint16_t tag, ByteWriter& out) {
    out.u16(tag);
    out.u16(static_cast<std::uint16_t>(fleet.vehicles.size()));
    out.u32(kBlockConstant);
    const std::size_t lengthAt = out.size();
    out.u32(0);
    const std::size_t stringsAt = out.size();
    PutCString(out, fleet.name, kFleetNameCapacity);
    for (const auto& v : fleet.vehicles)
        for (const std::string& info : v->Info) PutCString(out, info, kInfoCapacity);
    out.patchU32(lengthAt, static_cast<std::uint32_t>(out.size() - stringsAt));

    for (std::size_t j = 0; j < fleet.vehicles.size(); ++j) {
        const VehicleRec& v = *fleet.vehicles[j];
        out.u8(static_cast<std::uint8_t>(j));
        out.u16(v.Length);
        out.u16(v.HeightS);
        out.u16(v.Width);
        out.u16(v.HeightF);
        out.u32(v.Props | kPixels32);
        const std::uint8_t steamCount = std::min<std::uint8_t>(v.SteamCount, 3);
        out.u8(steamCount);
        for (int k = 0; k < 3 * steamCount; ++k) out.u16(v.Steam[k]);
        for (int view = 0; view < v.viewCount(); ++view) EncodePlane(v, view, false, out);
    }
}

// One fleet block after its tag; nothing when the block is truncated or corrupt.
std::unique_ptr<FleetRec> DecodeFleet(ByteReader& in) {
    const std::uint16_t count = in.u16();
    in.u32();  // constant
    in.u32();  // length of the strings part: the strings are found by their NULs
    auto fleet = CreateFleet(in.readString(kFleetNameCapacity, 0));
    // Refuse a count the rest of the input cannot hold before creating any record.
    if (!in.ok() || in.remaining() / (kMinVehicleRecord + kMinVehicleStrings) < count)
        return nullptr;
    fleet->vehicles.reserve(count);
    for (int j = 0; j < count; ++j) {
        auto v = std::make_unique<VehicleRec>();
        for (std::string& info : v->Info) info = in.readString(kInfoCapacity, 0);
        fleet->vehicles.push_back(std::move(v));
    }
    for (auto& vp : fleet->vehicles) {
        VehicleRec& v = *vp;
        in.u8();  // position in the fleet
        ReadVehicleSizes(in, v);
        v.SteamCount = in.u8();
        if (!in.ok() || !SizesFit(v)) return nullptr;
        for (int k = 0; k < 9; ++k) v.Steam[k] = k < 3 * v.SteamCount ? in.u16() : 1;
        if (!DecodeVehiclePlanes(in, v)) return nullptr;
    }
    return fleet;
}

// Fleet blocks read so far, as [start, end) by start. Blocks of a sound file never
// overlap; refusing overlaps keeps the work bounded by the file size.
class BlockRanges {
public:
    bool addIfFree(std::size_t start, std::size_t end) {
        auto next = ranges_.lower_bound(start);
        if (next != ranges_.end() && next->first < end) return false;
        if (next != ranges_.begin() && std::prev(next)->second > start) return false;
        ranges_.emplace(start, end);
        return true;
    }

private:
    std::map<std::size_t, std::size_t> ranges_;
};

}  // namespace

std::vector<std::uint8_t> EncodeDocument(const DocumentRec& doc) {
    ByteWriter out;
    // The info text ends at the first 0x1A when read back; one inside it would make
    // the whole file unreadable.
    for (char c : doc.info)
        if (static_cast<std::uint8_t>(c) != kInfoEnd) out.u8(static_cast<std::uint8_t>(c));
    out.u8(kInfoEnd);
    out.bytes(kSignature);

    const std::size_t directoryAt = out.size();
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        out.u16(static_cast<std::uint16_t>(kFirstFleetTag + i));
        out.u32(0);  // patched once the block's place is known
    }
    out.u16(0);
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        const std::size_t offsetEnd = directoryAt + 6 * i + 6;
        out.patchU32(offsetEnd - 4, static_cast<std::uint32_t>(out.size() - offsetEnd));
        EncodeFleet(*doc.fleets[i], static_cast<std::uint16_t>(kFirstFleetTag + i), out);
    }
    return std::move(out.data());
}

bool DecodeDocument(std::span<const std::uint8_t> bytes, DocumentRec& doc) {
    ByteReader in(bytes);
    std::string info = in.readString(kDocInfoLimit + 1, kInfoEnd);
    const auto signature = in.bytes(kSignature.size());
    if (!in.ok() || !std::equal(signature.begin(), signature.end(), kSignature.begin()))
        return false;

    std::vector<std::unique_ptr<FleetRec>> fleets;
    BlockRanges blocks;
    while (true) {
        const std::uint16_t tag = in.u16();
        if (!in.ok()) return false;
        if (tag == 0) break;
        const std::uint32_t offset = in.u32();
        if (!in.ok()) return false;
        // An entry pointing past the end of the file, or at a block without its tag,
        // is skipped. A block starting at the very end or with its tag cut short is
        // what a truncated file looks like, and is refused with it.
        if (offset > in.remaining()) continue;
        const std::size_t start = in.pos() + offset;
        ByteReader block(bytes);
        block.seek(start);
        const std::uint16_t blockTag = block.u16();
        if (!block.ok()) return false;
        if (blockTag != tag) continue;
        auto fleet = DecodeFleet(block);
        if (!fleet || !blocks.addIfFree(start, block.pos())) return false;
        fleets.push_back(std::move(fleet));
    }
    doc.info = std::move(info);
    doc.fleets = std::move(fleets);
    return true;
}

}  // namespace rvk
