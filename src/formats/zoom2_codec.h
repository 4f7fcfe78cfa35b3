// The .fzz format: a vehicle's Zoom2 (double-scale) graphics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "records/vehicle.h"

namespace rvk {

enum Zoom2Result : int {
    kZoom2Ok = 0,
    kZoom2AlreadyExists = 1,
    kZoom2CannotOpen = 2,
    kZoom2BadFormat = 3,  // wrong signature or version, or a damaged file
    kZoom2WrongLength = 4,
};

// Parses a .fzz file into the vehicle's Zoom2 part; all or nothing: on any code
// but kZoom2Ok the vehicle is unchanged. `used`, when given, receives the number of
// bytes the graphics took on success (a host archive holds them back to back).
int DecodeZoom2(VehicleRec& vehicle, std::span<const std::uint8_t> bytes,
                std::size_t* used = nullptr);
std::vector<std::uint8_t> EncodeZoom2(const VehicleRec& vehicle);

}  // namespace rvk
