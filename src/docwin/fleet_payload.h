// The "RVK_Fleet" clipboard payload: a whole fleet with its vehicles.
#pragma once

#include <QByteArray>
#include <memory>

#include "model/vehicle.h"

namespace rvk {

// 33-byte NUL-terminated name, one byte vehicle count, then each vehicle's image.
inline constexpr qsizetype kFleetPayloadHeader = 34;

QByteArray EncodeFleetPayload(const FleetRec& fleet);
// The fleet held by a payload; nullptr when the block is short, its count exceeds a
// fleet's capacity or a vehicle image does not fit.
std::unique_ptr<FleetRec> DecodeFleetPayload(const QByteArray& block);

}  // namespace rvk
