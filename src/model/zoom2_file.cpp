#include "model/zoom2_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "model/byte_io.h"
#include "model/file_io.h"
#include "model/plane_codec.h"

namespace rvk {

namespace {

constexpr std::string_view kBanner = "Zoom2 Graphics file created with RVKEDIT";
constexpr std::uint8_t kBannerEnd = 0x1A;
constexpr std::array<std::uint8_t, 6> kSignature = {0x46, 0x5A, 0x47, 0x32, 0x03, 0x83};
constexpr std::uint8_t kVersion = 3;
constexpr std::uint16_t kFlagRle = 0x0200;
constexpr std::uint16_t kFlagEightViews = 0x0100;

bool Known(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameFileName(n, name); });
}

}  // namespace

std::string Zoom2FileName(std::string_view docPath, int fleetIndex, int vehicleIndex) {
    if (fleetIndex < 0 || vehicleIndex < 0) return {};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%02d-%02d.fzz", fleetIndex, vehicleIndex);
    return PathWithoutExtension(docPath) + suffix;
}

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

int ReadZoom2File(VehicleRec& vehicle, const std::string& path, std::error_code* why,
                  FileStamp* stamp) {
    if (vehicle.Zoom2Exists) return kZoom2AlreadyExists;
    // Remembered even when the file then cannot be read.
    vehicle.Zoom2Path = path;
    const auto bytes = ReadFileBytes(path, kMaxFileBytes, why, stamp);
    if (!bytes) return kZoom2CannotOpen;
    return DecodeZoom2(vehicle, *bytes);
}

std::optional<Message> WriteZoom2File(VehicleRec& vehicle, const std::string& path) {
    std::optional<FileError> error = CheckWritable(path);
    if (!error) {
        SaveTransaction transaction({});
        transaction.write(path, EncodeZoom2(vehicle));
        error = transaction.commit();
    }
    if (error) return Message{kTextCannotSave, path, ReasonOf(*error)};
    vehicle.Zoom2Path = path;
    vehicle.Zoom2Modified = false;
    return std::nullopt;
}

std::vector<UnreadCompanion> LoadZoom2Files(FileDoc& doc, DiskState* stamps) {
    std::vector<UnreadCompanion> unread;
    doc.KnownZoom2Files.clear();
    const std::string file = ResolvedPath(doc.path);
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        const auto& vehicles = doc.fleets[i]->vehicles;
        for (std::size_t j = 0; j < vehicles.size(); ++j) {
            std::string name = Zoom2FileName(file, static_cast<int>(i), static_cast<int>(j));
            if (!FileExists(name)) continue;
            std::error_code why;
            FileStamp stamp;
            const int code = ReadZoom2File(*vehicles[j], name, &why, &stamp);
            if (stamps && (code == kZoom2Ok || !why)) (*stamps)[name] = stamp;
            if (code != kZoom2Ok)
                unread.push_back({std::move(name), code, why});
            else
                doc.KnownZoom2Files.push_back(std::move(name));
        }
    }
    return unread;
}

std::vector<std::string> ExistingZoom2Files(std::string_view docPath) {
    std::vector<std::string> found;
    for (int fleet = 0; fleet < kMaxFleets; ++fleet)
        for (int vehicle = 0; vehicle < kMaxVehicles; ++vehicle)
            if (std::string name = Zoom2FileName(docPath, fleet, vehicle); FileExists(name))
                found.push_back(std::move(name));
    return found;
}

Zoom2SavePlan PlanZoom2Save(FileDoc& doc, const std::string& docPath,
                            const std::vector<std::string>& known) {
    Zoom2SavePlan plan;
    plan.known = known;
    std::vector<std::string> stale = known;
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        const auto& vehicles = doc.fleets[i]->vehicles;
        for (std::size_t j = 0; j < vehicles.size(); ++j) {
            VehicleRec& v = *vehicles[j];
            if (!v.Zoom2Exists) continue;
            std::string name = Zoom2FileName(docPath, static_cast<int>(i), static_cast<int>(j));
            std::erase_if(stale, [&](const std::string& s) { return SameFileName(s, name); });
            if (!v.Zoom2Modified && FileExists(name) && SameFileName(name, v.Zoom2Path)) continue;
            if (!Known(plan.known, name)) plan.known.push_back(name);
            plan.writes.emplace_back(&v, std::move(name));
        }
    }
    // Only files beside the document are ever deleted: a list that names another
    // folder does not describe this document's companions.
    if (stale.empty() || !SameFileName(DirectoryOf(stale.front()), DirectoryOf(docPath)))
        return plan;
    for (const std::string& name : stale) {
        if (!SameFileName(DirectoryOf(name), DirectoryOf(docPath))) continue;
        std::erase_if(plan.known, [&](const std::string& s) { return SameFileName(s, name); });
        if (FileExists(name)) plan.removals.push_back(name);
    }
    return plan;
}

namespace {

// The fleet and vehicle a companion name (without folder) of the document gives.
std::optional<std::pair<int, int>> CompanionPlace(std::string_view docPath,
                                                  const std::string& name) {
    // "<base>-II-JJ.fzz": the indices are read from the name, which must then be
    // exactly the companion name they give.
    const std::string first = FileNameOf(Zoom2FileName(docPath, 0, 0));
    if (name.size() != first.size()) return std::nullopt;
    const std::size_t at = first.size() - 10;
    const auto digit = [&](std::size_t k) { return name[k] >= '0' && name[k] <= '9'; };
    if (!digit(at + 1) || !digit(at + 2) || !digit(at + 4) || !digit(at + 5)) return std::nullopt;
    const int fleet = (name[at + 1] - '0') * 10 + (name[at + 2] - '0');
    const int vehicle = (name[at + 4] - '0') * 10 + (name[at + 5] - '0');
    if (!SameFileName(FileNameOf(Zoom2FileName(docPath, fleet, vehicle)), name))
        return std::nullopt;
    return std::pair{fleet, vehicle};
}

}  // namespace

std::vector<std::string> CompanionFilesBeside(std::string_view docPath) {
    std::vector<std::string> found;
    const std::string folder = DirectoryOf(std::string(docPath));
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(
             PathFromUtf8(folder.empty() ? std::string(".") : folder), ec)) {
        if (const auto place = CompanionPlace(docPath, Utf8FromPath(entry.path().filename()));
            place && FileExists(Utf8FromPath(entry.path())))
            found.push_back(Zoom2FileName(docPath, place->first, place->second));
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace rvk
