#include "model/undo_history.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// One pen stroke as the vehicle window records it: the state before (only when the
// history has nothing newer), the edit, the state after.
void Stroke(UndoHistory& history, VehicleRec& rec, int x, PixelValue value) {
    history.RecordStep(rec, false, true);
    history.RecordStep(rec, true, true);  // later events of the same drag record nothing
    rec.Planes[1].set(x, 13, value);
    history.RecordStep(rec, false, false);
}

PixelValue At(const VehicleRec& rec, int x) {
    return rec.Planes[1].at(x, 13);
}

TEST(UndoHistory, OneStrokeUndoRedo) {
    VehicleRec rec;
    UndoHistory history;
    EXPECT_FALSE(history.Undo(rec));
    EXPECT_FALSE(history.Redo(rec));
    Stroke(history, rec, 0, 0x000000FF);
    EXPECT_TRUE(history.slotFilled(0));
    EXPECT_TRUE(history.slotFilled(1));
    EXPECT_FALSE(history.slotFilled(2));

    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), kTransparent);
    EXPECT_FALSE(history.Undo(rec));
    EXPECT_TRUE(history.Redo(rec));
    EXPECT_EQ(At(rec, 0), 0x000000FFu);
    EXPECT_FALSE(history.Redo(rec));
    EXPECT_EQ(history.UndoCursor(), 1);
}

TEST(UndoHistory, NineStrokesSevenUndos) {
    VehicleRec rec;
    UndoHistory history;
    for (int i = 0; i < 9; ++i) Stroke(history, rec, i, 0x00000010u + i);
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(history.Undo(rec)) << i;
    // Back at the state after the second stroke.
    EXPECT_EQ(At(rec, 0), 0x10u);
    EXPECT_EQ(At(rec, 1), 0x11u);
    EXPECT_EQ(At(rec, 2), kTransparent);
    EXPECT_FALSE(history.Undo(rec));
    EXPECT_EQ(At(rec, 1), 0x11u);
    // All seven come back.
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(history.Redo(rec));
    EXPECT_EQ(At(rec, 8), 0x18u);
    EXPECT_FALSE(history.Redo(rec));
}

TEST(UndoHistory, NewStrokeAfterUndoDropsRedo) {
    VehicleRec rec;
    UndoHistory history;
    for (int i = 0; i < 3; ++i) Stroke(history, rec, i, 0x20u + i);
    history.Undo(rec);
    history.Undo(rec);
    Stroke(history, rec, 5, 0x30);
    EXPECT_FALSE(history.Redo(rec));
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), 0x20u);
    EXPECT_EQ(At(rec, 5), kTransparent);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), kTransparent);
    EXPECT_FALSE(history.Undo(rec));
}

TEST(UndoHistory, NewStrokeAfterSevenUndosKeepsTheOldestState) {
    VehicleRec rec;
    UndoHistory history;
    for (int i = 0; i < 9; ++i) Stroke(history, rec, i, 0x40u + i);
    for (int i = 0; i < 7; ++i) history.Undo(rec);
    Stroke(history, rec, 20, 0x50);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 20), kTransparent);
    EXPECT_EQ(At(rec, 1), 0x41u);
    EXPECT_FALSE(history.Undo(rec));
}

TEST(UndoHistory, UnrecordedEditIsUndoneWithTheNextStroke) {
    VehicleRec rec;
    UndoHistory history;
    Stroke(history, rec, 0, 0x60);
    rec.Planes[1].set(10, 13, 0x61);  // e.g. a mirror: not recorded
    Stroke(history, rec, 1, 0x62);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 1), kTransparent);
    EXPECT_EQ(At(rec, 10), kTransparent);
    EXPECT_EQ(At(rec, 0), 0x60u);
}

TEST(UndoHistory, RestoresPlanesOnly) {
    VehicleRec rec;
    UndoHistory history;
    Stroke(history, rec, 0, 0x70);
    rec.Length = 40;
    rec.Info[0] = "renamed";
    history.Undo(rec);
    EXPECT_EQ(At(rec, 0), kTransparent);
    EXPECT_EQ(rec.Length, 40);
    EXPECT_EQ(rec.Info[0], "renamed");
}

TEST(UndoHistory, Zoom2PlanesOnlyWhileZoom2Exists) {
    VehicleRec rec;
    UndoHistory history;
    history.RecordStep(rec, false, true);
    rec.Planes[3].set(0, 0, 1);
    rec.Zoom2Planes[3].set(0, 0, 2);
    history.RecordStep(rec, false, false);
    history.Undo(rec);
    EXPECT_EQ(rec.Planes[3].at(0, 0), kTransparent);
    EXPECT_EQ(rec.Zoom2Planes[3].at(0, 0), 2u);

    rec.Zoom2Exists = true;
    history.Redo(rec);
    history.Undo(rec);
    EXPECT_EQ(rec.Zoom2Planes[3].at(0, 0), kTransparent);
}

TEST(UndoHistory, ClearHistoryForgetsEverything) {
    VehicleRec rec;
    UndoHistory history;
    Stroke(history, rec, 0, 0x80);
    history.ClearHistory();
    EXPECT_FALSE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), 0x80u);
    // The next edit records its "before" state again.
    Stroke(history, rec, 1, 0x81);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), 0x80u);
    EXPECT_EQ(At(rec, 1), kTransparent);
}

}  // namespace
}  // namespace rvk
