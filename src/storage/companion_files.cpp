#include "storage/companion_files.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "formats/zoom2_codec.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk {

namespace {

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
