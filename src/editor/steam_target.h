// What the steam points dialog asks of the vehicle window it works for: the record, how
// the left side view shows it, and placing a point by a click into that view.
#pragma once

class QWidget;

namespace rvk {

struct VehicleRec;

class SteamTarget {
public:
    // The window itself: the parent of the dialog's messages during placing, and gone
    // for the dialog once it is destroyed.
    virtual QWidget* targetWidget() = 0;
    virtual VehicleRec* Record() const = 0;
    virtual bool ShowsZoom2() const = 0;
    virtual int Zoom() const = 0;
    // The paint box of a view.
    virtual QWidget* View(int view) const = 0;
    // Selects the "Normal scale" tab.
    virtual void ShowNormalTab() = 0;
    // The window waits for a click into the left side view that places a point into
    // slot (-1: a new one); the dialog cannot be opened for it until placing ends.
    virtual void BeginSteamPlacing(int slot) = 0;
    // The slot the pending placing click fills, -1 for a new one.
    virtual int SteamPlacingSlot() const = 0;
    // Placing is over, with a new point or without; the dialog comes back.
    virtual void EndSteamPlacing(bool placed) = 0;
    // A point changed: the views repaint and the change reaches the document.
    virtual void PaintAllViews() = 0;
    virtual void NoteChange() = 0;
    // A change of the points, named by a text number, begins and ends as one undo step.
    virtual void BeginStep(int name) = 0;
    virtual void EndStep() = 0;

protected:
    ~SteamTarget() = default;
};

}  // namespace rvk
