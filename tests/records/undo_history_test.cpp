#include "records/undo_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "records/draw_tools.h"
#include "records/end_view_shift.h"
#include "records/image_clip.h"
#include "records/render.h"

namespace rvk {
namespace {

constexpr int kPenName = 1;
constexpr int kMirrorName = 2;
constexpr int kLengthName = 3;

// One pen stroke as the vehicle window records it: the state before at the first event,
// the edit, the state after at the release.
void Stroke(UndoHistory& history, VehicleRec& rec, int x, PixelValue value) {
    history.Begin(rec, kPenName);
    history.Begin(rec, kPenName);  // later events of the same drag keep the first state
    rec.Planes[1].set(x, 13, value);
    history.Commit(rec);
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
    EXPECT_EQ(history.UndoName(), kPenName);
    EXPECT_EQ(history.RedoName(), 0);

    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), kTransparent);
    EXPECT_EQ(history.UndoName(), 0);
    EXPECT_EQ(history.RedoName(), kPenName);
    EXPECT_FALSE(history.Undo(rec));
    EXPECT_TRUE(history.Redo(rec));
    EXPECT_EQ(At(rec, 0), 0x000000FFu);
    EXPECT_FALSE(history.Redo(rec));
}

// UndoSteps 7 keeps the seven steps of old; the default keeps a hundred.
TEST(UndoHistory, NineStrokesSevenUndos) {
    for (const int limit : {7, UndoHistory::kDefaultSteps}) {
        VehicleRec rec;
        UndoHistory history(limit);
        for (int i = 0; i < 9; ++i) Stroke(history, rec, i, 0x00000010u + i);
        const int undos = std::min(limit, 9);
        for (int i = 0; i < undos; ++i) EXPECT_TRUE(history.Undo(rec)) << limit << " " << i;
        EXPECT_FALSE(history.Undo(rec)) << limit;
        EXPECT_EQ(At(rec, 1), limit == 7 ? 0x11u : kTransparent) << limit;
        EXPECT_EQ(At(rec, 2), kTransparent) << limit;
        for (int i = 0; i < undos; ++i) EXPECT_TRUE(history.Redo(rec));
        EXPECT_EQ(At(rec, 8), 0x18u);
        EXPECT_FALSE(history.Redo(rec));
    }
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
    UndoHistory history(7);
    for (int i = 0; i < 9; ++i) Stroke(history, rec, i, 0x40u + i);
    for (int i = 0; i < 7; ++i) history.Undo(rec);
    Stroke(history, rec, 20, 0x50);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 20), kTransparent);
    EXPECT_EQ(At(rec, 1), 0x41u);
    EXPECT_FALSE(history.Undo(rec));
}

// A mirror is a step of its own; an edit the history never saw stays untouched.
TEST(UndoHistory, MirrorIsAStepOfItsOwn) {
    VehicleRec rec;
    UndoHistory history;
    Stroke(history, rec, 0, 0x60);
    history.Begin(rec, kMirrorName);
    TransformRect(PlaneOf(&rec, 1, false), {0, 13, 9, 13}, TransformKind::MirrorLeftRight);
    history.Commit(rec);
    rec.Planes[1].set(20, 13, 0x61);  // not through the history
    Stroke(history, rec, 1, 0x62);

    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 1), kTransparent);
    EXPECT_EQ(At(rec, 9), 0x60u);
    EXPECT_EQ(history.UndoName(), kMirrorName);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), 0x60u);
    EXPECT_EQ(At(rec, 9), kTransparent);
    EXPECT_EQ(At(rec, 20), 0x61u);
}

TEST(UndoHistory, LengthUndoRestoresCompanionStateAndLeavesThePlanes) {
    VehicleRec rec;
    DeriveZoom2(rec, "z");
    rec.Zoom2Modified = false;
    rec.Zoom2Path = "a-00-00.fzz";
    UndoHistory history;
    Stroke(history, rec, 0, 0x70);
    rec.Info[0] = "renamed";  // not through the history
    history.Begin(rec, kLengthName);
    rec.Length = 40;
    rec.Zoom2Modified = true;  // the companion file records the length
    history.Commit(rec);
    const VehicleRec afterLength = rec;

    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(rec.Length, 32);
    EXPECT_FALSE(rec.Zoom2Modified);
    EXPECT_EQ(At(rec, 0), 0x70u);
    EXPECT_EQ(rec.Info[0], "renamed");
    EXPECT_TRUE(history.Redo(rec));
    EXPECT_TRUE(rec == afterLength);

    // A save in between wrote the companion file: undoing makes the file stale again,
    // and the path the save chose stays.
    rec.Zoom2Modified = false;
    rec.Zoom2Path = "b-00-00.fzz";
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(rec.Length, 32);
    EXPECT_TRUE(rec.Zoom2Modified);
    EXPECT_EQ(rec.Zoom2Path, "b-00-00.fzz");
}

// Edits made while the companion file was already to be written, then a save: undoing
// one that changes what the file holds has it written again, others leave it as saved.
TEST(UndoHistory, UndoAfterASaveMarksTheCompanionFileStale) {
    const struct {
        const char* edit;
        std::function<void(VehicleRec&)> change;
        bool stale;
    } cases[] = {
        {"Zoom2 pixel", [](VehicleRec& r) { r.Zoom2Planes[3].set(0, 0, 2); }, true},
        {"Zoom2 height", [](VehicleRec& r) { r.Zoom2HeightS = 20; }, true},
        {"extra views", [](VehicleRec& r) { r.Props ^= kExtraViews; }, true},
        {"normal pixel", [](VehicleRec& r) { r.Planes[3].set(0, 0, 2); }, false},
        {"info string", [](VehicleRec& r) { r.Info[2] = "x"; }, false},
    };
    for (const auto& c : cases) {
        VehicleRec rec;
        DeriveZoom2(rec, "z");
        UndoHistory history;
        history.Begin(rec, kPenName);
        c.change(rec);
        ASSERT_TRUE(history.Commit(rec)) << c.edit;
        rec.Zoom2Modified = false;  // saved
        history.Undo(rec);
        EXPECT_EQ(rec.Zoom2Modified, c.stale) << c.edit;
    }
}

TEST(UndoHistory, ClearHistoryForgetsEverything) {
    VehicleRec rec;
    UndoHistory history;
    Stroke(history, rec, 0, 0x80);
    history.ClearHistory();
    EXPECT_FALSE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), 0x80u);
    Stroke(history, rec, 1, 0x81);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(At(rec, 0), 0x80u);
    EXPECT_EQ(At(rec, 1), kTransparent);
}

// An edit that changes nothing is no step; an open edit of another name is committed
// before the next begins, and Undo commits an open one first.
TEST(UndoHistory, OpenEdits) {
    VehicleRec rec;
    UndoHistory history;
    history.Begin(rec, kPenName);
    EXPECT_FALSE(history.Commit(rec));
    history.Begin(rec, kLengthName);
    rec.Info[1] = "typed";
    history.Begin(rec, kPenName);
    rec.Planes[0].set(3, 13, 5);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(rec.Planes[0].at(3, 13), kTransparent);
    EXPECT_EQ(rec.Info[1], "typed");
    EXPECT_EQ(history.UndoName(), kLengthName);
    EXPECT_TRUE(history.Undo(rec));
    EXPECT_EQ(rec.Info[1], "");
}

// Full-plane edits of the largest vehicle: a hundred fit the default budget, and a small
// budget drops the oldest first while the newest stays.
TEST(UndoHistory, BudgetDropsTheOldestSteps) {
    VehicleRec rec;
    DeriveZoom2(rec, "z");
    const auto fullEdit = [&](UndoHistory& history, PixelValue value) {
        history.Begin(rec, kPenName);
        for (int v = 0; v < kViewCount; ++v) {
            FillRect(PlaneOf(&rec, v, false), {0, 0}, {kPlaneWidth[v] - 1, kPlaneHeight[v] - 1}, value);
            FillRect(PlaneOf(&rec, v, true), {0, 0},
                     {2 * kPlaneWidth[v] - 1, 2 * kPlaneHeight[v] - 1}, value);
        }
        history.Commit(rec);
    };
    UndoHistory deep;
    for (int i = 0; i < 100; ++i) fullEdit(deep, 0x100u + i);
    EXPECT_EQ(deep.UndoCount(), 100);
    EXPECT_LE(deep.MemoryUsed(), UndoHistory::kDefaultBudget);

    UndoHistory tight(100, 3 * deep.MemoryUsed() / 100);
    for (int i = 0; i < 10; ++i) fullEdit(tight, 0x200u + i);
    EXPECT_EQ(tight.UndoCount(), 3);
    tight.SetLimits(100, 1);
    EXPECT_EQ(tight.UndoCount(), 1);
    EXPECT_TRUE(tight.Undo(rec));
    EXPECT_EQ(rec.Planes[0].at(0, 0), 0x208u);
}

// Random edits of every kind the window records, at both scales: undoing all of them
// gives back the start, redoing all of them the end.
TEST(UndoHistory, RandomEditsUndoAndRedoExactly) {
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 rng(seed);
        const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        VehicleRec rec;
        DeriveZoom2(rec, "z");
        rec.Zoom2Modified = false;
        UndoHistory history;
        const VehicleRec start = rec;

        const auto pixels = [&](std::function<void(PlaneRef, int, int)> edit) {
            const int view = pick(rec.viewCount());
            const bool zoom2 = pick(2) == 1;
            const PlaneRef plane = PlaneOf(&rec, view, zoom2);
            edit(plane, plane.width, plane.height);
            // As the window notes every edit it makes while showing the Zoom2 graphics.
            if (zoom2) rec.Zoom2Modified = true;
        };
        const auto color = [&] { return pick(4) == 0 ? kTransparent : PixelValue(rng() & 0x0300FFFF); };
        const std::vector<std::function<void()>> edits = {
            [&] { pixels([&](PlaneRef p, int w, int h) { p.plane->set(pick(w), pick(h), color()); }); },
            [&] {
                pixels([&](PlaneRef p, int w, int h) {
                    DrawLine(p, {pick(w), pick(h)}, {pick(w), pick(h)}, color());
                });
            },
            [&] {
                pixels([&](PlaneRef p, int w, int h) {
                    FillRect(p, {pick(w), pick(h)}, {pick(w), pick(h)}, color());
                });
            },
            [&] {
                pixels([&](PlaneRef p, int w, int h) {
                    const int x = pick(w), y = pick(h);
                    if (p.plane->at(x, y) != 7u) FloodFill(p.plane->mutableData(), w, h, x, y, 7);
                });
            },
            [&] {
                pixels([&](PlaneRef p, int w, int h) {
                    ReplaceColor(p, {0, 0, w - 1, h - 1}, p.plane->at(pick(w), pick(h)), color());
                });
            },
            [&] {
                pixels([&](PlaneRef p, int w, int h) {
                    const int x = pick(w), y = pick(h);
                    TransformRect(p, {x, y, x + pick(w - x), y + pick(h - y)},
                                  static_cast<TransformKind>(1 + pick(3)));
                });
            },
            [&] {
                pixels([&](PlaneRef p, int w, int h) {
                    const ClipImage image = CopyImage({p.plane, w, h}, {0, 0, pick(w), pick(h)});
                    PasteImage(p, pick(w), pick(h), image);
                });
            },
            [&] {
                const bool zoom2 = pick(2) == 1;
                const bool up = pick(2) == 1;
                if (CanShiftEndViews(rec, zoom2, 1, up) && ShiftEndViews(rec, zoom2, 1, pick(2), up))
                    rec.Zoom2Modified = rec.Zoom2Modified || zoom2;
            },
            [&] {
                rec.SteamCount = static_cast<std::uint8_t>(pick(4));
                rec.Steam[static_cast<std::size_t>(pick(9))] = static_cast<std::uint16_t>(pick(30));
            },
            [&] {
                rec.Length = static_cast<std::uint16_t>(8 + 2 * pick(125));
                rec.Zoom2Modified = rec.Zoom2Exists;
            },
            [&] { rec.HeightS = static_cast<std::uint16_t>(2 + pick(13)); },
            [&] { rec.Zoom2Width = static_cast<std::uint16_t>(8 + 2 * pick(13)); },
            [&] { rec.Props ^= std::uint32_t{1} << pick(16); },
            [&] { rec.Info[static_cast<std::size_t>(pick(5))] = std::string(pick(80), static_cast<char>('a' + pick(26))); },
            [&] { rec.Zoom2Info = std::string(pick(80), 'x'); },
            [&] { rec.Zoom2Exists = !rec.Zoom2Exists; },
            [&] {
                DeriveZoom2(rec, "derived");
                rec.Zoom2Path.clear();
            },
        };

        int steps = 0;
        for (int i = 0; i < 60; ++i) {
            history.Begin(rec, 1 + i);
            edits[static_cast<std::size_t>(pick(static_cast<int>(edits.size())))]();
            steps += history.Commit(rec) ? 1 : 0;
        }
        const VehicleRec end = rec;
        ASSERT_EQ(history.UndoCount(), steps);
        for (int i = 0; i < steps; ++i) ASSERT_TRUE(history.Undo(rec));
        EXPECT_FALSE(history.Undo(rec));
        EXPECT_TRUE(rec == start) << seed;
        for (int i = 0; i < steps; ++i) ASSERT_TRUE(history.Redo(rec));
        EXPECT_FALSE(history.Redo(rec));
        EXPECT_TRUE(rec == end) << seed;
    }
}

}  // namespace
}  // namespace rvk
