#include "formats/fleet_payload.h"

#include <algorithm>
#include <cstring>

#include "formats/vehicle_image.h"

namespace rvk {

std::vector<std::uint8_t> EncodeFleetPayload(const FleetRec& fleet) {
    const std::size_t count = fleet.vehicles.size();
    std::vector<std::uint8_t> block(kFleetPayloadHeader + kVehicleImageSize * count, 0);
    std::memcpy(block.data(), fleet.name.data(),
                std::min(fleet.name.size(), kFleetNameCapacity - 1));
    block[kFleetNameCapacity] = static_cast<std::uint8_t>(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::span<std::uint8_t, kVehicleImageSize> out(
            block.data() + kFleetPayloadHeader + kVehicleImageSize * i, kVehicleImageSize);
        VehicleToImage(*fleet.vehicles[i], out);
    }
    return block;
}

std::unique_ptr<FleetRec> DecodeFleetPayload(std::span<const std::uint8_t> block) {
    if (block.size() < kFleetPayloadHeader) return nullptr;
    const std::size_t count = block[kFleetNameCapacity];
    if (count > kMaxVehicles || block.size() < kFleetPayloadHeader + kVehicleImageSize * count)
        return nullptr;
    const auto* name = reinterpret_cast<const char*>(block.data());
    auto fleet = CreateFleet(std::string(name, strnlen(name, kFleetNameCapacity - 1)));
    for (std::size_t i = 0; i < count; ++i) {
        auto rec = std::make_unique<VehicleRec>();
        InitVehicle(*rec);
        if (!VehicleFromImage(
                block.subspan(kFleetPayloadHeader + kVehicleImageSize * i, kVehicleImageSize),
                *rec))
            return nullptr;
        fleet->vehicles.push_back(std::move(rec));
    }
    return fleet;
}

}  // namespace rvk
