#include "formats/vehicle_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "formats/byte_io.h"

namespace rvk {

namespace {

constexpr std::size_t kPlanesOffset = 444;
constexpr std::size_t kZoom2Offset = 49084;
constexpr std::size_t kZoom2PlanesOffset = 49176;
constexpr std::size_t kZoom2ModifiedOffset = 243736;

void PutU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void PutString(std::uint8_t* p, const std::string& s, std::size_t capacity) {
    const std::size_t n = std::min(s.size(), capacity - 1);
    std::memcpy(p, s.data(), n);  // the rest of the field is already zero
}
std::string GetString(const std::uint8_t* p, std::size_t capacity) {
    const auto* end = std::find(p, p + capacity - 1, std::uint8_t{0});
    return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
}

void PutPlane(std::uint8_t* p, const Plane& plane) {
    const PixelValue* w = plane.data();
    for (std::size_t i = 0; i < plane.size(); ++i, p += 4) PutU32(p, w[i]);
}
void GetPlane(ByteReader& in, Plane& plane) {
    const auto bytes = in.bytes(plane.size() * 4);
    bool allTransparent = true;
    for (std::size_t i = 0; i < plane.size() && allTransparent; ++i)
        allTransparent = bytes[4 * i] == 0x01 && bytes[4 * i + 1] == 0 && bytes[4 * i + 2] == 0 &&
                         bytes[4 * i + 3] == 0x80;
    if (allTransparent) {
        plane.reset();
        return;
    }
    ByteReader words(bytes);
    PixelValue* w = plane.mutableData();
    for (std::size_t i = 0; i < plane.size(); ++i) w[i] = words.u32();
}

}  // namespace

void VehicleToImage(const VehicleRec& rec, std::span<std::uint8_t, kVehicleImageSize> out) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    std::uint8_t* p = out.data();
    PutU16(p + 2, rec.Length);
    PutU16(p + 4, rec.HeightS);
    PutU16(p + 6, rec.Width);
    PutU16(p + 8, rec.HeightF);
    PutU32(p + 12, rec.Props);
    p[16] = rec.SteamCount;
    for (int i = 0; i < 9; ++i) PutU16(p + 18 + 2 * i, rec.Steam[i]);
    for (int i = 0; i < 5; ++i) PutString(p + 36 + kInfoCapacity * i, rec.Info[i], kInfoCapacity);
    std::size_t at = kPlanesOffset;
    for (const Plane& plane : rec.Planes) PutPlane(p + at, plane), at += plane.size() * 4;
    p[kZoom2Offset] = rec.Zoom2Exists ? 1 : 0;
    PutU16(p + 49086, rec.Zoom2HeightS);
    PutU16(p + 49088, rec.Zoom2Width);
    PutU16(p + 49090, rec.Zoom2HeightF);
    PutString(p + 49092, rec.Zoom2Info, kInfoCapacity);
    at = kZoom2PlanesOffset;
    for (const Plane& plane : rec.Zoom2Planes) PutPlane(p + at, plane), at += plane.size() * 4;
    p[kZoom2ModifiedOffset] = rec.Zoom2Modified ? 1 : 0;
    PutString(p + kZoom2ModifiedOffset + 1, rec.Zoom2Path, kZoom2PathCapacity);
}

std::vector<std::uint8_t> VehicleToImage(const VehicleRec& rec) {
    std::vector<std::uint8_t> image(kVehicleImageSize);
    VehicleToImage(rec, std::span<std::uint8_t, kVehicleImageSize>(image.data(), image.size()));
    return image;
}

bool VehicleFromImage(std::span<const std::uint8_t> image, VehicleRec& rec) {
    if (image.size() < kVehicleImageSize) return false;
    const std::uint8_t* p = image.data();
    VehicleRec r;
    ByteReader in(image.first(kVehicleImageSize));
    in.skip(2);
    r.Length = in.u16();
    r.HeightS = in.u16();
    r.Width = in.u16();
    r.HeightF = in.u16();
    in.skip(2);
    r.Props = in.u32();
    r.SteamCount = in.u8();
    in.skip(1);
    for (auto& s : r.Steam) s = in.u16();
    for (int i = 0; i < 5; ++i) r.Info[i] = GetString(p + 36 + kInfoCapacity * i, kInfoCapacity);
    in.seek(kPlanesOffset);
    for (Plane& plane : r.Planes) GetPlane(in, plane);
    r.Zoom2Exists = p[kZoom2Offset] != 0;
    in.seek(49086);
    r.Zoom2HeightS = in.u16();
    r.Zoom2Width = in.u16();
    r.Zoom2HeightF = in.u16();
    r.Zoom2Info = GetString(p + 49092, kInfoCapacity);
    in.seek(kZoom2PlanesOffset);
    for (Plane& plane : r.Zoom2Planes) GetPlane(in, plane);
    // A vehicle taken from a payload has no companion file where it goes: the file
    // under the name it carries may hold another vehicle's graphics by now. Its Zoom2
    // graphics are written at the next save.
    r.Zoom2Modified = r.Zoom2Exists;
    r.Zoom2Path = GetString(p + kZoom2ModifiedOffset + 1, kZoom2PathCapacity);
    if (!SizesFit(r)) return false;
    rec = std::move(r);
    return true;
}



}  // namespace rvk
