// Moving the end views up or down by whole rows. Each vehicle end is one vertical
// strip: the roof half above, the end view below; a shift moves the end view's
// picture across the seam and changes the end-view height by the same amount.
#pragma once

#include <optional>

#include "records/vehicle.h"

namespace rvk {

// Whether the end views can move by count rows at this scale: down needs room below
// in the end-view plane, up leaves at least two rows.
bool CanShiftEndViews(const VehicleRec& rec, bool zoom2, int count, bool up);

// Moves both end views (and the extra end views, when the vehicle has them) by count
// rows, carrying the last `roof` rows of each roof half along, and changes the
// end-view height of the scale by count. Roof rows that do not fit between the seam
// and the top of the roof half are left out: the result says how many were carried.
// Nothing happens (no result) when CanShiftEndViews says no.
std::optional<int> ShiftEndViews(VehicleRec& rec, bool zoom2, int count, int roof, bool up);

}  // namespace rvk
