// Zoom2 (double-scale) graphics files beside a document: the companion-file names of
// its vehicles, and the passes that load and save them with the document.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/zoom2_codec.h"
#include "records/vehicle.h"
#include "storage/document_files.h"

namespace rvk {

// "<doc path without extension>-II-JJ.fzz"; empty when either index is -1.
std::string Zoom2FileName(std::string_view docPath, int fleetIndex, int vehicleIndex);

// Reads a .fzz file into the vehicle; why it could not be opened in *why, and the stamp
// of the bytes read in *stamp, when given.
int ReadZoom2File(VehicleRec& vehicle, const std::string& path, std::error_code* why = nullptr,
                  FileStamp* stamp = nullptr);
// Writes atomically; on success stores the path and clears Zoom2Modified. On
// failure the message to show (the path and why).
std::optional<Message> WriteZoom2File(VehicleRec& vehicle, const std::string& path);

// Reads every companion file that exists beside the file doc.path names. One that cannot
// be read is listed and stays out of KnownZoom2Files, so that no save deletes it. The
// stamp of every file whose bytes were read goes into *stamps when given.
std::vector<UnreadCompanion> LoadZoom2Files(FileDoc& doc, DiskState* stamps = nullptr);

// What a save of the document under docPath does with its companion files.
struct Zoom2SavePlan {
    // The files to write: those that changed or moved, and those missing.
    std::vector<std::pair<VehicleRec*, std::string>> writes;
    // Known files beside the document that no vehicle needs any more.
    std::vector<std::string> removals;
    // KnownZoom2Files once the save is done.
    std::vector<std::string> known;
};
Zoom2SavePlan PlanZoom2Save(FileDoc& doc, const std::string& docPath,
                            const std::vector<std::string>& known);

// The companion files that exist for a document at docPath, at any place of the
// document: a save under that name replaces them along with the document.
std::vector<std::string> ExistingZoom2Files(std::string_view docPath);
// Every companion file beside the document at docPath, at any place its name can give
// (also beyond the fleets and vehicles a document can be given in the editor), sorted.
std::vector<std::string> CompanionFilesBeside(std::string_view docPath);

}  // namespace rvk
