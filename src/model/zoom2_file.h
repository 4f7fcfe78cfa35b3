// Zoom2 (double-scale) graphics files: the .fzz format, the companion-file names of a
// document's vehicles, and the passes that load and save them with the document.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/document.h"
#include "model/vehicle.h"

namespace rvk {

enum Zoom2Result : int {
    kZoom2Ok = 0,
    kZoom2AlreadyExists = 1,
    kZoom2CannotOpen = 2,
    kZoom2BadFormat = 3,  // wrong signature or version, or a damaged file
    kZoom2WrongLength = 4,
};

// "<doc path without extension>-II-JJ.fzz"; empty when either index is -1.
std::string Zoom2FileName(std::string_view docPath, int fleetIndex, int vehicleIndex);

// Parses a .fzz file into the vehicle's Zoom2 part; all or nothing: on any code
// but kZoom2Ok the vehicle is unchanged. `used`, when given, receives the number of
// bytes the graphics took on success (a host archive holds them back to back).
int DecodeZoom2(VehicleRec& vehicle, std::span<const std::uint8_t> bytes,
                std::size_t* used = nullptr);
std::vector<std::uint8_t> EncodeZoom2(const VehicleRec& vehicle);

int ReadZoom2File(VehicleRec& vehicle, const std::string& path);
// Writes atomically; on success stores the path and clears Zoom2Modified. On
// failure the message to show (555 with the path).
std::optional<Message> WriteZoom2File(VehicleRec& vehicle, const std::string& path);

void LoadZoom2Files(FileDoc& doc);
// Writes the companion files that changed or moved and deletes stale ones; one
// message per file that could not be written.
std::vector<Message> SaveZoom2Files(FileDoc& doc);

}  // namespace rvk
