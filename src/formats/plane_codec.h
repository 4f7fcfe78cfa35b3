// The two on-disk codings of a vehicle's views, shared by documents, Zoom2 files and
// the host catalogue: 32-bit run-length words, and the older 8-bit palette codes.
#pragma once

#include "formats/byte_io.h"
#include "records/vehicle.h"

namespace rvk {

// Run-length word layout.
inline constexpr std::uint32_t kRunMarker = 0xC0000000u;
inline constexpr std::uint32_t kTransparentRunBit = 0x00010000u;
inline constexpr int kMaxRun = 256;

// Appends the visible area of one view (at the chosen scale) as run-length words.
// Roof views are scanned column by column, all others row by row; red and blue are
// exchanged on the way out.
void EncodePlane(const VehicleRec& vehicle, int view, bool zoom2, ByteWriter& out);

// Reads run-length coded views 0..5 (0..7 with eightViews) into the planes at the
// chosen scale, using the vehicle's current sizes. False when the input ends early or
// a view does not fit its plane; the planes may then hold part of the input, so
// callers decode into a scratch record and keep it only on success.
bool DecodePlanes(ByteReader& in, VehicleRec& vehicle, bool eightViews, bool zoom2);

// Same for 8-bit host palette codes: one byte per pixel, row by row for every view,
// without the red/blue exchange.
bool DecodePalettePlanes(ByteReader& in, VehicleRec& vehicle, bool eightViews, bool zoom2);

// The sizes and Props of a vehicle record (documents and the host catalogue store them
// alike): Length, HeightS, Width, HeightF, Props.
void ReadVehicleSizes(ByteReader& in, VehicleRec& vehicle);
// The normal-scale views of a record in the coding and number its Props give.
bool DecodeVehiclePlanes(ByteReader& in, VehicleRec& vehicle);

}  // namespace rvk
