// A vehicle as one fixed block of bytes: the form the fleet and vehicle clipboard
// payloads carry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "records/vehicle.h"

namespace rvk {

inline constexpr std::size_t kVehicleImageSize = 243992;

// The fixed 243,992-byte image used by the fleet and vehicle clipboard payloads.
std::vector<std::uint8_t> VehicleToImage(const VehicleRec& rec);
void VehicleToImage(const VehicleRec& rec, std::span<std::uint8_t, kVehicleImageSize> out);
// Fills rec from an image; false (rec untouched) when fewer bytes than an image are
// given or the sizes do not fit the planes.
bool VehicleFromImage(std::span<const std::uint8_t> image, VehicleRec& rec);

}  // namespace rvk
