// Painting a whole view into a window-sized raster, and filling a whole plane: the
// two operations of the vehicle window that touch every pixel of a view.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench_vehicles.h"
#include "records/render.h"
#include "records/vehicle_picture.h"

namespace {

using rvk::PixelValue;

// A busy side view: every colour type, changing every few pixels, so no cell row is
// uniform and night levels take every branch.
std::vector<PixelValue> BusyPlane(int width, int height) {
    const PixelValue kinds[] = {rvk::kTransparent,     0x00336699u, 0x610000FFu, 0x5000FFFFu,
                                rvk::kHalfTransparent, 0x40A0B0C0u, 0x66FFFFFFu};
    std::vector<PixelValue> plane(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < plane.size(); ++i) plane[i] = kinds[(i * 7 + i / 5) % 7];
    return plane;
}

void PaintSideView(benchmark::State& state, int width, int height, int zoom) {
    const auto plane = BusyPlane(width, height);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(width) * zoom * height * zoom);
    rvk::Canvas canvas{bits.data(), width * zoom, height * zoom, width * zoom};
    for (auto _ : state) {
        rvk::PaintViewCells(canvas, 0, 0, plane.data(), width, 0, width, height, zoom, 3);
        benchmark::DoNotOptimize(bits.data());
        benchmark::ClobberMemory();
    }
}

// The largest normal side view at the largest normal zoom.
void BM_PaintSideView256x14Zoom16(benchmark::State& state) {
    PaintSideView(state, 256, 14, 16);
}
BENCHMARK(BM_PaintSideView256x14Zoom16)->Unit(benchmark::kMicrosecond);

// The largest Zoom2 side view at the largest Zoom2 zoom.
void BM_PaintZoom2SideView512x28Zoom8(benchmark::State& state) {
    PaintSideView(state, 512, 28, 8);
}
BENCHMARK(BM_PaintZoom2SideView512x28Zoom8)->Unit(benchmark::kMicrosecond);

// Filling a whole Zoom2 side plane from one corner, the worst case of the fill tool.
void BM_FloodFillZoom2SidePlane(benchmark::State& state) {
    std::vector<PixelValue> plane(512 * 28);
    PixelValue value = 0;
    for (auto _ : state) {
        ++value;  // a new colour each time, so every round fills everything
        rvk::FloodFill(plane.data(), 512, 28, 0, 0, value);
        benchmark::DoNotOptimize(plane.data());
    }
}
BENCHMARK(BM_FloodFillZoom2SidePlane)->Unit(benchmark::kMicrosecond);

// The fleet as a train: 16 of the largest vehicles at night with every window group lit,
// at the strip's zoom (argument), into a picture of the train's size.
void BM_TrainStripSixteenLargest(benchmark::State& state) {
    const int zoom = static_cast<int>(state.range(0));
    rvk::FleetRec fleet;
    for (std::uint32_t i = 0; i < rvk::kMaxVehicles; ++i)
        fleet.vehicles.push_back(std::make_unique<rvk::VehicleRec>(rvk::bench::LargestVehicle(i)));
    const std::vector<rvk::Rect> places = rvk::TrainPlaces(fleet, zoom);
    const rvk::PictureSize size = rvk::TrainSize(places);
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(size.width) * size.height);
    rvk::Canvas canvas{bits.data(), size.width, size.height, size.width};
    for (auto _ : state) {
        rvk::DrawTrain(canvas, fleet, places, 3, zoom);
        benchmark::DoNotOptimize(bits.data());
        benchmark::ClobberMemory();
    }
    state.counters["width"] = size.width;
    state.counters["height"] = size.height;
}
BENCHMARK(BM_TrainStripSixteenLargest)->Arg(2)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
