// The colours of a vehicle as its window shows them, for the tool panel's palette.
#pragma once

#include <cstdint>
#include <vector>

#include "records/pixel.h"
#include "records/vehicle.h"

namespace rvk {

// The colours a vehicle window shows: every pixel value in the visible area of the
// shown views at one scale, with the number of pixels that hold it.
struct ColorUse {
    PixelValue value = 0;
    std::uint32_t count = 0;
    bool operator==(const ColorUse&) const = default;
};

// By colour type in the order of the colour-type boxes, within a type the most used
// first, equal counts by value.
std::vector<ColorUse> CountColors(const VehicleRec& rec, bool zoom2);

}  // namespace rvk
