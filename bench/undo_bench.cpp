// The undo history on the largest vehicle: one Undo and Redo of a whole-plane edit and of
// a pen stroke, and what a hundred steps of either hold.
#include <benchmark/benchmark.h>

#include "bench_vehicles.h"
#include "memory_count.h"
#include "records/draw_tools.h"
#include "records/image_clip.h"
#include "records/undo_history.h"

namespace {

using namespace rvk;

// The Zoom2 left side view mirrored as a whole: every pixel of the largest plane moves.
void MirrorSide(UndoHistory& history, VehicleRec& v) {
    history.Begin(v, 1);
    TransformRect(PlaneOf(&v, 1, true), {0, 0, 511, 27}, TransformKind::MirrorLeftRight);
    history.Commit(v);
}

// A diagonal pen stroke across the Zoom2 left side view, shifted by i.
void PenStroke(UndoHistory& history, VehicleRec& v, int i) {
    history.Begin(v, 2);
    DrawLine(PlaneOf(&v, 1, true), {i % 400, 0}, {i % 400 + 100, 27}, 0x00123456u + i);
    history.Commit(v);
}

template <class Edit>
void UndoRedo(benchmark::State& state, Edit edit) {
    VehicleRec v = bench::LargestVehicle(7);
    UndoHistory history;
    for (int i = 0; i < 100; ++i) edit(history, v, i);
    for (auto _ : state) {
        history.Undo(v);
        history.Redo(v);
    }
    benchmark::DoNotOptimize(v.Zoom2Planes[1].data());
}

template <class Edit>
void HundredSteps(benchmark::State& state, Edit edit) {
    double kept = 0;
    for (auto _ : state) {
        VehicleRec v = bench::LargestVehicle(7);
        const std::size_t base = bench::liveBytes.load();
        UndoHistory history;
        for (int i = 0; i < 100; ++i) edit(history, v, i);
        kept = static_cast<double>(bench::liveBytes.load() - base);
        benchmark::DoNotOptimize(history.UndoCount());
    }
    state.counters["history_MB"] = kept / 1e6;
    state.counters["per_step_kB"] = kept / 100 / 1e3;
}

void BM_UndoRedoFullPlaneMirror(benchmark::State& state) {
    UndoRedo(state, [](UndoHistory& h, VehicleRec& v, int) { MirrorSide(h, v); });
}
BENCHMARK(BM_UndoRedoFullPlaneMirror)->Unit(benchmark::kMillisecond);

void BM_UndoRedoPenStroke(benchmark::State& state) {
    UndoRedo(state, PenStroke);
}
BENCHMARK(BM_UndoRedoPenStroke)->Unit(benchmark::kMillisecond);

void BM_HundredFullPlaneMirrors(benchmark::State& state) {
    HundredSteps(state, [](UndoHistory& h, VehicleRec& v, int) { MirrorSide(h, v); });
}
BENCHMARK(BM_HundredFullPlaneMirrors)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HundredPenStrokes(benchmark::State& state) {
    HundredSteps(state, PenStroke);
}
BENCHMARK(BM_HundredPenStrokes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
