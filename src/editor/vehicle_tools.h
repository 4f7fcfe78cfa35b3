// What a vehicle window reads of the tool state the frame keeps for all of them (the
// tool panel): drawing tool, mouse colours with their colour types, day/night level,
// view layout and single-selection mode. The holder repaints, re-lays out or
// re-cursors the vehicle windows when its state changes.
#pragma once

#include <QString>
#include <Qt>
#include <array>

#include "records/draw_tools.h"
#include "records/pixel.h"

namespace rvk {

class LangTexts;
class VehicleForm;

// The keys of the six tools in PanelTool order, as pixel editors commonly have them, and
// the key that steps to the next day/night level.
inline constexpr std::array<Qt::Key, 6> kToolKeys{Qt::Key_B, Qt::Key_L, Qt::Key_R,
                                                  Qt::Key_G, Qt::Key_M, Qt::Key_I};
inline constexpr Qt::Key kNightLevelKey = Qt::Key_N;

class VehicleTools {
public:
    // The program's language texts.
    virtual LangTexts& texts() const = 0;

    virtual PixelValue MouseColor(int button) const = 0;
    // selectType: the button's colour type follows the value.
    virtual void SetMouseColor(int button, PixelValue value, bool selectType) = 0;
    virtual PanelTool PressedTool() const = 0;
    virtual void PressTool(PanelTool tool) = 0;
    // Cursor number of the pressed tool (see tool_cursors.h).
    virtual int CurrentTool() const = 0;
    virtual NightLevel CurrentNightLevel() const = 0;
    // Daylight, then ever fewer night lights, then daylight again.
    virtual void StepNightLevel() = 0;
    // The name of a colour type as the mouse colour boxes show it.
    virtual QString ColorTypeName(ColorType type) const = 0;
    virtual int ViewLayout() const = 0;
    // Every vehicle window takes the new layout.
    virtual void SetViewLayout(int layout) = 0;
    // The cell grid over the views at high zoom; every vehicle window repaints.
    virtual bool CellGrid() const = 0;
    virtual void SetCellGrid(bool on) = 0;
    // Successive pen positions of a drag are joined by a line.
    virtual bool JoinStrokes() const = 0;
    virtual void SetJoinStrokes(bool on) = 0;
    // The most steps a vehicle window's history keeps.
    virtual int UndoSteps() const = 0;
    virtual bool SingleSelection() const = 0;
    // The other vehicle windows take the selection of source.
    virtual void SyncSelection(VehicleForm* source) = 0;
    // The selection or the zoom of the active vehicle window changed.
    virtual void UpdateSelectionInfo() = 0;
    virtual void UpdateZoomButtons() = 0;
    // The pixels a vehicle window shows changed: an edit, Undo or Redo, the other scale.
    virtual void VehicleChanged(const VehicleForm* form) = 0;

protected:
    ~VehicleTools() = default;
};

}  // namespace rvk
