// The "RVK_Fleet" clipboard payload: a whole fleet with its vehicles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "records/vehicle.h"

namespace rvk {

// 33-byte NUL-terminated name, one byte vehicle count, then each vehicle's image.
inline constexpr std::size_t kFleetPayloadHeader = 34;

std::vector<std::uint8_t> EncodeFleetPayload(const FleetRec& fleet);
// The fleet held by a payload; nullptr when the block is short, its count exceeds a
// fleet's capacity or a vehicle image does not fit. Bytes beyond the last image are
// ignored, since the system may hand over a block larger than was put.
std::unique_ptr<FleetRec> DecodeFleetPayload(std::span<const std::uint8_t> block);

}  // namespace rvk
