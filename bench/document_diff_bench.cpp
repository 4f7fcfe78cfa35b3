// Comparing two versions of the largest document (10 fleets of 16 full-size vehicles
// with Zoom2 graphics): a diff driver must answer while the user waits.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench_vehicles.h"
#include "formats/document_diff.h"

namespace {

rvk::DocumentRec Largest() {
    rvk::DocumentRec doc;
    for (int i = 0; i < 10; ++i) {
        doc.fleets.push_back(rvk::CreateFleet("Fleet " + std::to_string(i)));
        for (int j = 0; j < 16; ++j)
            doc.fleets.back()->vehicles.push_back(std::make_unique<rvk::VehicleRec>(
                rvk::bench::LargestVehicle(static_cast<std::uint32_t>(i * 16 + j))));
    }
    return doc;
}

// Every vehicle with one pixel changed, or every fleet's vehicles rotated by one place
// so that each must be found again by its graphics.
void BM_DiffLargestDocument(benchmark::State& state) {
    const rvk::DocumentRec a = Largest();
    rvk::DocumentRec b = Largest();
    const bool moved = state.range(0) == 1;
    for (auto& fleet : b.fleets) {
        if (moved)
            std::rotate(fleet->vehicles.begin(), fleet->vehicles.begin() + 1,
                        fleet->vehicles.end());
        else
            for (auto& v : fleet->vehicles) v->Planes[0].set(100, 10, 0x00123456u);
    }
    std::size_t lines = 0;
    for (auto _ : state) {
        const rvk::DocumentDiff diff = rvk::CompareDocuments(a, b);
        lines = diff.vehicles.size();
        benchmark::DoNotOptimize(lines);
    }
    state.SetLabel(moved ? "moved" : "one pixel each");
}
BENCHMARK(BM_DiffLargestDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The picture of 160 changed side views, as far as it goes.
void BM_DrawDifferences(benchmark::State& state) {
    const rvk::DocumentRec a = Largest();
    rvk::DocumentRec b = Largest();
    for (auto& fleet : b.fleets)
        for (auto& v : fleet->vehicles) v->Planes[0].set(100, 10, 0x00123456u);
    const rvk::DocumentDiff diff = rvk::CompareDocuments(a, b);
    int drawn = 0;
    for (auto _ : state) {
        const rvk::RgbaImage picture = rvk::DrawDifferences(a, b, diff, 4096, drawn);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
}
BENCHMARK(BM_DrawDifferences)->Unit(benchmark::kMillisecond);

}  // namespace
