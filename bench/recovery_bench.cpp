// A crash-recovery snapshot of the largest document the editor allows (10 fleets of 16
// full-size vehicles with Zoom2 graphics): the part the window thread does, encoding
// the document and its 160 companion files, and the part the writer thread does.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "bench_vehicles.h"
#include "storage/recovery.h"

namespace {

rvk::FileDoc Largest(bool noise) {
    rvk::FileDoc doc;
    doc.path = "/home/user/largest.rvk";
    doc.named = true;
    for (int i = 0; i < rvk::kMaxFleets; ++i) {
        doc.fleets.push_back(rvk::CreateFleet("Fleet " + std::to_string(i)));
        for (int j = 0; j < rvk::kMaxVehicles; ++j) {
            const auto seed = static_cast<std::uint32_t>(i * rvk::kMaxVehicles + j);
            auto v = std::make_unique<rvk::VehicleRec>(rvk::bench::LargestVehicle(seed));
            if (noise) rvk::bench::FillWithNoise(*v, seed);
            doc.fleets.back()->vehicles.push_back(std::move(v));
        }
    }
    return doc;
}

// What a timer turn costs the window thread per document.
void BM_SnapshotOnWindowThread(benchmark::State& state, bool noise) {
    const rvk::FileDoc doc = Largest(noise);
    std::size_t bytes = 0;
    std::uint64_t generation = 0;
    for (auto _ : state) {
        const rvk::SnapshotBytes s = rvk::EncodeSnapshot(doc, {}, ++generation);
        bytes = 0;
        for (const rvk::SnapshotFile& f : s.files) bytes += f.bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["snapshot_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK_CAPTURE(BM_SnapshotOnWindowThread, drawing, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SnapshotOnWindowThread, noise, true)->Unit(benchmark::kMillisecond);

// The writer thread's share, into the system's temporary folder.
void BM_SnapshotWrite(benchmark::State& state) {
    const rvk::FileDoc doc = Largest(false);
    const auto folder = std::filesystem::temp_directory_path() /
                        ("rvk-recovery-bench-" + std::to_string(std::random_device{}()));
    std::uint64_t generation = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const rvk::SnapshotBytes s = rvk::EncodeSnapshot(doc, {}, ++generation);
        state.ResumeTiming();
        if (!rvk::WriteSnapshot(folder.string(), s)) state.SkipWithError("write failed");
    }
    rvk::RemoveFolder(folder.string());
}
BENCHMARK(BM_SnapshotWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
