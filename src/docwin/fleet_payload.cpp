#include "docwin/fleet_payload.h"

#include <cstring>
#include <span>

namespace rvk {

namespace {

constexpr qsizetype kImage = static_cast<qsizetype>(kVehicleImageSize);

}  // namespace

QByteArray EncodeFleetPayload(const FleetRec& fleet) {
    const qsizetype count = static_cast<qsizetype>(fleet.vehicles.size());
    QByteArray block(kFleetPayloadHeader + kImage * count, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(block.data());
    std::memcpy(bytes, fleet.name.data(), std::min(fleet.name.size(), kFleetNameCapacity - 1));
    bytes[kFleetNameCapacity] = static_cast<std::uint8_t>(count);
    for (qsizetype i = 0; i < count; ++i) {
        std::span<std::uint8_t, kVehicleImageSize> out(bytes + kFleetPayloadHeader + kImage * i,
                                                       kVehicleImageSize);
        VehicleToImage(*fleet.vehicles[static_cast<std::size_t>(i)], out);
    }
    return block;
}

std::unique_ptr<FleetRec> DecodeFleetPayload(const QByteArray& block) {
    if (block.size() < kFleetPayloadHeader) return nullptr;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.constData());
    const int count = bytes[kFleetNameCapacity];
    if (count > kMaxVehicles || block.size() < kFleetPayloadHeader + kImage * count) return nullptr;
    const auto* name = reinterpret_cast<const char*>(bytes);
    auto fleet = CreateFleet(std::string(name, strnlen(name, kFleetNameCapacity - 1)));
    for (int i = 0; i < count; ++i) {
        auto rec = std::make_unique<VehicleRec>();
        InitVehicle(*rec);
        const std::span<const std::uint8_t> image(bytes + kFleetPayloadHeader + kImage * i,
                                                  kVehicleImageSize);
        if (!VehicleFromImage(image, *rec)) return nullptr;
        fleet->vehicles.push_back(std::move(rec));
    }
    return fleet;
}

}  // namespace rvk
