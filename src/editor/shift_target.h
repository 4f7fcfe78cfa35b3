// What the shift dialog asks of the vehicle window it was shown for: the record at the
// scale shown, and the shift itself.
#pragma once

#include <optional>

class QWidget;

namespace rvk {

struct VehicleRec;

class ShiftTarget {
public:
    // The window itself: the dialog forgets it once it is destroyed.
    virtual QWidget* targetWidget() = 0;
    virtual VehicleRec* Record() const = 0;
    virtual bool ShowsZoom2() const = 0;
    // Moves the end views by count rows, carrying roof rows of the roof halves along;
    // the roof rows carried, or nothing when the shift does not fit.
    virtual std::optional<int> ShiftEndViews(int count, int roof, bool up) = 0;

protected:
    ~ShiftTarget() = default;
};

}  // namespace rvk
