#include "model/undo_history.h"

#include <utility>

namespace rvk {

void UndoHistory::RecordStep(const VehicleRec& rec, bool strokeActive, bool beforeEdit) {
    if (strokeActive) return;
    if (beforeEdit && slots_[0]) return;
    if (undoCursor_ == 1) {
        for (int i = kSlots - 1; i > 0; --i) slots_[i] = std::move(slots_[i - 1]);
    } else {
        // Drop the undone states; the one on screen becomes slot 1, older ones follow.
        const int c = undoCursor_;
        std::array<std::unique_ptr<Snapshot>, kSlots> kept;
        for (int i = 1; i <= kSlots + 1 - c; ++i) kept[i] = std::move(slots_[c - 2 + i]);
        slots_ = std::move(kept);
    }
    undoCursor_ = 1;
    slots_[0] = std::make_unique<Snapshot>(Snapshot{rec.Planes, rec.Zoom2Planes});
}

bool UndoHistory::Undo(VehicleRec& rec) {
    if (undoCursor_ >= kSlots || !slots_[undoCursor_]) return false;
    RestoreStep(rec);
    return true;
}

bool UndoHistory::Redo(VehicleRec& rec) {
    if (undoCursor_ <= 1) return false;
    undoCursor_ -= 2;
    RestoreStep(rec);
    return true;
}

void UndoHistory::ClearHistory() {
    for (auto& slot : slots_) slot.reset();
    undoCursor_ = 1;
}

void UndoHistory::RestoreStep(VehicleRec& rec) {
    const Snapshot& s = *slots_[undoCursor_];
    rec.Planes = s.planes;
    if (rec.Zoom2Exists) rec.Zoom2Planes = s.zoom2Planes;
    ++undoCursor_;
}

}  // namespace rvk
