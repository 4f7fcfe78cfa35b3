#include "formats/zoom2_codec.h"

#include <array>

#include "formats/byte_io.h"
#include "formats/plane_codec.h"
#include "records/document.h"

namespace rvk {

namespace {

constexpr std::string_view kBanner = "Zoom2 Graphics file created with RVKEDIT";
constexpr std::uint8_t kBannerEnd = 0x1A;
constexpr std::array<std::uint8_t, 6> kSignature = {0x46, 0x5A, 0x47, 0x32, 0x03, 0x83};
constexpr std::uint8_t kVersion = 3;
constexpr std::uint16_t kFlagRle = 0x0200;
constexpr std::uint16_t kFlagEightViews = 0x0100;

}  // namespace

int DecodeZoom2(VehicleRec& vehicle, std::span<const std::uint8_t> bytes, std::size_t* used) {
    if (vehicle.Zoom2Exists) return kZoom2AlreadyExists;
    ByteReader in(bytes);
    in.skipPast(kBannerEnd);
    const auto signature = in.bytes(kSignature.size());
    const std::uint8_t version = in.u8();
    if (!in.ok() || !std::equal(signature.begin(), signature.end(), kSignature.begin()) ||
        (version != 2 && version != 3))
        return kZoom2BadFormat;
    const std::uint16_t length = in.u16();
    if (!in.ok()) return kZoom2BadFormat;
    if (length != 2 * vehicle.Length) return kZoom2WrongLength;

    // Everything is read into a scratch record first: a damaged file changes nothing.
    VehicleRec scratch;
    scratch.Length = vehicle.Length;
    scratch.Zoom2Planes = vehicle.Zoom2Planes;
    scratch.Zoom2HeightS = in.u16();
    scratch.Zoom2Width = in.u16();
    scratch.Zoom2HeightF = in.u16();
    const std::uint16_t flags = in.u16();
    scratch.Zoom2Info = in.readString(kInfoCapacity, 0);
    if (!in.ok() || !SizesFit(scratch)) return kZoom2BadFormat;
    const bool eight = (flags & kFlagEightViews) != 0;
    const bool decoded = (flags & kFlagRle) ? DecodePlanes(in, scratch, eight, true)
                                            : DecodePalettePlanes(in, scratch, eight, true);
    if (!decoded) return kZoom2BadFormat;
    if (used) *used = in.pos();

    vehicle.Zoom2HeightS = scratch.Zoom2HeightS;
    vehicle.Zoom2Width = scratch.Zoom2Width;
    vehicle.Zoom2HeightF = scratch.Zoom2HeightF;
    vehicle.Zoom2Info = std::move(scratch.Zoom2Info);
    vehicle.Zoom2Planes = std::move(scratch.Zoom2Planes);
    vehicle.Zoom2Exists = true;
    return kZoom2Ok;
}

std::vector<std::uint8_t> EncodeZoom2(const VehicleRec& vehicle) {
    ByteWriter out;
    out.text(kBanner);
    out.text(kTitleText);
    out.u8(kBannerEnd);
    out.bytes(kSignature);
    out.u8(kVersion);
    out.u16(static_cast<std::uint16_t>(2 * vehicle.Length));
    out.u16(vehicle.Zoom2HeightS);
    out.u16(vehicle.Zoom2Width);
    out.u16(vehicle.Zoom2HeightF);
    const bool eight = (vehicle.Props & kExtraViews) != 0;
    out.u16(static_cast<std::uint16_t>(kFlagRle | (eight ? kFlagEightViews : 0)));
    const std::string_view info = vehicle.Zoom2Info;
    out.cstring(info.substr(0, info.find('\0')), kInfoCapacity);
    for (int view = 0; view < vehicle.viewCount(); ++view) EncodePlane(vehicle, view, true, out);
    return std::move(out.data());
}

}  // namespace rvk
