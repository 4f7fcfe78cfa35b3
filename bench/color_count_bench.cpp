// The palette of the tool panel is counted anew after every edit of the active vehicle
// window, so counting the largest vehicle must stay far below a frame's time.
#include <benchmark/benchmark.h>

#include "bench_vehicles.h"
#include "records/color_count.h"

namespace {

// range(0): 0 a drawing shaped like real graphics, 1 noise (a colour per pixel);
// range(1): 1 the Zoom2 graphics, 0 the normal ones.
void BM_CountColorsLargestVehicle(benchmark::State& state) {
    rvk::VehicleRec v = rvk::bench::LargestVehicle(7);
    if (state.range(0) == 1) rvk::bench::FillWithNoise(v, 7);
    const bool zoom2 = state.range(1) == 1;
    std::size_t colors = 0;
    for (auto _ : state) {
        colors = rvk::CountColors(v, zoom2).size();
        benchmark::DoNotOptimize(colors);
    }
    state.counters["colors"] = static_cast<double>(colors);
}
BENCHMARK(BM_CountColorsLargestVehicle)
    ->ArgNames({"noise", "zoom2"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
