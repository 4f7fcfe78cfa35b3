// The history of a vehicle's edits behind the Undo and Redo commands.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "records/vehicle.h"

namespace rvk {

// Each step keeps only what its edit changed: for every plane the rectangle around the
// changed pixels, before and after, and the record's other fields when any of them
// changed. An edit is taken between Begin (the state before) and Commit (after).
class UndoHistory {
public:
    static constexpr int kDefaultSteps = 100;
    static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;

    explicit UndoHistory(int maxSteps = kDefaultSteps, std::size_t budget = kDefaultBudget);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Keeps at most maxSteps steps within budget bytes, dropping the oldest first; the
    // newest step stays even when it alone is larger.
    void SetLimits(int maxSteps, std::size_t budget);

    // Takes rec as the state before an edit called name (a text number). An edit of the
    // same name still open goes on (a drag, typing into one field); one of another name
    // is committed first.
    void Begin(const VehicleRec& rec, int name);
    bool Open() const { return pending_ != nullptr; }
    // Ends the open edit: what changed since Begin becomes the newest step, and the
    // undone steps are gone. False when nothing is open or nothing changed.
    bool Commit(const VehicleRec& rec);

    // Each commits an open edit first; true when rec changed (the caller repaints).
    bool Undo(VehicleRec& rec);
    bool Redo(VehicleRec& rec);
    void ClearHistory();

    // The name of the step the next Undo or Redo takes, 0 for none.
    int UndoName() const;
    int RedoName() const;
    int UndoCount() const { return static_cast<int>(applied_); }
    int RedoCount() const { return static_cast<int>(steps_.size() - applied_); }
    // Bytes held by the steps.
    std::size_t MemoryUsed() const { return used_; }

private:
    struct Patch;
    struct Step;

    void apply(VehicleRec& rec, const Step& step, bool forward) const;
    void trim();

    int maxSteps_;
    std::size_t budget_;
    std::deque<std::unique_ptr<Step>> steps_;
    std::size_t applied_ = 0;  // steps_[0 .. applied_-1] are in effect
    std::size_t used_ = 0;
    std::unique_ptr<VehicleRec> pending_;
    int pendingName_ = 0;
};

}  // namespace rvk
