// The short history of a vehicle's graphics behind the Undo and Redo commands.
#pragma once

#include <array>
#include <memory>

#include "model/vehicle.h"

namespace rvk {

// Slot 0 holds the newest recorded state, higher slots older ones. Only the planes
// are ever restored, so a snapshot keeps just the planes; a plane that was never
// written costs nothing to copy.
class UndoHistory {
public:
    static constexpr int kSlots = 8;

    // Records rec's current planes as the newest step. With strokeActive nothing
    // happens (the drag already recorded); with beforeEdit nothing happens when the
    // newest slot is filled, since it already holds the state before this edit.
    void RecordStep(const VehicleRec& rec, bool strokeActive, bool beforeEdit);
    // Each returns true when rec's planes were restored (the caller repaints).
    bool Undo(VehicleRec& rec);
    bool Redo(VehicleRec& rec);
    void ClearHistory();

    int UndoCursor() const { return undoCursor_; }
    bool slotFilled(int slot) const { return slots_[slot] != nullptr; }

private:
    struct Snapshot {
        std::array<Plane, kViewCount> planes;
        std::array<Plane, kViewCount> zoom2Planes;
    };

    void RestoreStep(VehicleRec& rec);

    std::array<std::unique_ptr<Snapshot>, kSlots> slots_;
    int undoCursor_ = 1;  // the slot the next Undo restores
};

}  // namespace rvk
