// Saving and loading the largest document the editor allows: 10 fleets of 16 full-size
// vehicles with eight views and Zoom2 graphics each, so the .rvk file and 160
// companion files. Memory is counted (memory_count.h): the peak of bytes live at once
// during a load or save, over what was live before it.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench_vehicles.h"
#include "memory_count.h"
#include "storage/document_files.h"

namespace {

using rvk::bench::peakBytes;
using rvk::bench::ResetPeak;

constexpr int kFleets = 10;
constexpr int kVehicles = 16;
constexpr double kMemoryBudget = 1.5 * 160 * 243992;

// Where the files go: the temporary folder on disk, where every file's flush to disk
// takes the storage's time, or a memory file system, which leaves the program's own.
enum class Folder { Disk, Memory };
// Graphics shaped like real drawings, or noise: the largest files there can be.
enum class Content { Drawing, Noise };

std::filesystem::path Base(Folder folder) {
    std::error_code ec;
    if (folder == Folder::Memory && std::filesystem::is_directory("/dev/shm", ec))
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

class LargestDocument {
public:
    LargestDocument(Folder folder, Content content) {
        dir_ = Base(folder) / ("rvk-document-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
        doc.path = (dir_ / "largest.rvk").string();
        for (int i = 0; i < kFleets; ++i) {
            doc.fleets.push_back(rvk::CreateFleet("Fleet " + std::to_string(i)));
            for (int j = 0; j < kVehicles; ++j) {
                const auto seed = static_cast<std::uint32_t>(i * kVehicles + j);
                auto v = std::make_unique<rvk::VehicleRec>(rvk::bench::LargestVehicle(seed));
                if (content == Content::Noise) rvk::bench::FillWithNoise(*v, seed);
                doc.fleets.back()->vehicles.push_back(std::move(v));
            }
        }
    }
    ~LargestDocument() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Every vehicle's Zoom2 graphics count as changed, so a save writes all 161 files.
    void touchAll() {
        for (auto& fleet : doc.fleets)
            for (auto& v : fleet->vehicles) v->Zoom2Modified = true;
    }
    std::size_t bytesOnDisk() const {
        std::size_t total = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir_))
            total += static_cast<std::size_t>(entry.file_size());
        return total;
    }

    rvk::FileDoc doc;

private:
    std::filesystem::path dir_;
};

void BM_SaveLargestDocument(benchmark::State& state, Folder folder, Content content) {
    LargestDocument largest(folder, content);
    double peak = 0;
    for (auto _ : state) {
        largest.touchAll();
        const std::size_t base = ResetPeak();
        const rvk::SaveResult result = rvk::SaveDocument(largest.doc);
        peak = std::max(peak, static_cast<double>(peakBytes - base));
        if (!result.ok()) state.SkipWithError("save failed");
    }
    state.counters["files_MB"] = static_cast<double>(largest.bytesOnDisk()) / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_vs_budget"] = peak / kMemoryBudget;
}
BENCHMARK_CAPTURE(BM_SaveLargestDocument, disk, Folder::Disk, Content::Drawing)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SaveLargestDocument, memory, Folder::Memory, Content::Drawing)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_LoadLargestDocument(benchmark::State& state, Content content) {
    LargestDocument largest(Folder::Disk, content);
    largest.touchAll();
    if (!rvk::SaveDocument(largest.doc).ok()) state.SkipWithError("save failed");
    largest.doc.fleets.clear();
    double peak = 0;
    for (auto _ : state) {
        rvk::FileDoc loaded;
        loaded.path = largest.doc.path;
        const std::size_t base = ResetPeak();
        const rvk::LoadResult result = rvk::LoadDocument(loaded);
        peak = std::max(peak, static_cast<double>(peakBytes - base));
        if (!result.ok || loaded.fleets.size() != kFleets ||
            !loaded.fleets.back()->vehicles.back()->Zoom2Exists)
            state.SkipWithError("load failed");
        state.PauseTiming();
        loaded.fleets.clear();
        state.ResumeTiming();
    }
    state.counters["files_MB"] = static_cast<double>(largest.bytesOnDisk()) / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["peak_vs_budget"] = peak / kMemoryBudget;
}
BENCHMARK_CAPTURE(BM_SaveLargestDocument, disk_noise, Folder::Disk, Content::Noise)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadLargestDocument, drawing, Content::Drawing)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_LoadLargestDocument, noise, Content::Noise)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
