// What the size, property and info-string controls ask of the vehicle window they sit
// in: the record at the scale shown, the window's fleet, and the window's reactions to
// an edit of the record.
#pragma once

class QWidget;

namespace rvk {

struct VehicleRec;
class VehicleOwner;

class ControlsTarget {
public:
    // The window itself: the parent of the controls' messages.
    virtual QWidget* targetWidget() = 0;
    virtual VehicleRec* Record() const = 0;
    virtual bool ShowsZoom2() const = 0;
    virtual VehicleOwner* OwnerFleetWindow() const = 0;
    // The views are laid out anew (sizes changed), repainted (pixels changed).
    virtual void Relayout() = 0;
    virtual void PaintAllViews() = 0;
    // The change reaches the document, and the caption shows the new name.
    virtual void NoteChange() = 0;
    virtual void UpdateCaption() = 0;
    // The Zoom2 tab appears or goes with the Zoom2 graphics.
    virtual void UpdateTabs() = 0;
    virtual void ShowNormalTab() = 0;
    // An edit named by a text number begins (an open one of the same name goes on), and
    // ends as one undo step.
    virtual void BeginStep(int name) = 0;
    virtual void EndStep() = 0;

protected:
    ~ControlsTarget() = default;
};

}  // namespace rvk
