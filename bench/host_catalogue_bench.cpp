// Choosing a category in the import dialog: a made-up installation whose largest
// category lists 3,000 vehicles shaped like real ones (14 rows high, lengths 40 to 200,
// 6 or 8 views, a third with archive Zoom2 graphics) beside 300 sets of another
// category. Every vehicle of the category is read and checked; memory is counted
// (memory_count.h) as the peak of bytes live while the category is read, over what
// was live before, and what stays for the list afterwards.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "host/host_catalogue.h"
#include "host_fixture.h"
#include "memory_count.h"

namespace {

namespace fixture = rvk::hostfixture;
using rvk::bench::liveBytes;
using rvk::bench::peakBytes;
using rvk::bench::ResetPeak;

constexpr int kListed = 3000;
constexpr int kOutside = 300;
constexpr double kMemoryBudget = 100e6;

class LargeInstallation {
public:
    LargeInstallation() {
        folder_ = std::filesystem::temp_directory_path() /
                  ("rvk-host-bench-" + std::to_string(std::random_device{}()));
        fixture::WriteInstallation(fixture::LargeInstallation(kListed, kOutside, 1),
                                   folder_.string());
        path = folder_.string() + "/";
        texts = rvk::LoadHostTexts(path, "vuvi.lnv").table;
    }
    ~LargeInstallation() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    double megabytes(const char* name) const {
        return static_cast<double>(std::filesystem::file_size(folder_ / name)) / 1e6;
    }

    std::string path;
    rvk::HostTextTable texts;

private:
    std::filesystem::path folder_;
};

void BM_ChooseLargestCategory(benchmark::State& state) {
    const LargeInstallation installation;
    double peak = 0, kept = 0;
    std::size_t vehicles = 0, zoom2 = 0;
    for (auto _ : state) {
        const std::size_t base = ResetPeak();
        rvk::Catalogue catalogue =
            rvk::LoadCatalogue(installation.path, fixture::kLargeFilter, installation.texts,
                               rvk::HostNameLessIgnoringCase);
        peak = std::max(peak, static_cast<double>(peakBytes - base));
        kept = static_cast<double>(liveBytes - base);
        vehicles = zoom2 = 0;
        for (const rvk::HostSet& set : catalogue.sets)
            for (const rvk::HostVehicle& v : set.vehicles) ++vehicles, zoom2 += v.data.Zoom2Exists;
        if (vehicles != kListed || !catalogue.messages.empty())
            state.SkipWithError("wrong listing");
        state.PauseTiming();
        catalogue.sets.clear();
        state.ResumeTiming();
    }
    state.counters["vehicles"] = static_cast<double>(vehicles);
    state.counters["with_zoom2"] = static_cast<double>(zoom2);
    state.counters["fzg_MB"] = installation.megabytes("vuvi.fzg");
    state.counters["fz2_MB"] = installation.megabytes("vuvi.fz2");
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["kept_MB"] = kept / 1e6;
    state.counters["peak_vs_budget"] = peak / kMemoryBudget;
}
BENCHMARK(BM_ChooseLargestCategory)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// A preview line and an Insert decode one listed vehicle again.
void BM_DecodeListedVehicle(benchmark::State& state) {
    const LargeInstallation installation;
    const rvk::Catalogue catalogue =
        rvk::LoadCatalogue(installation.path, fixture::kLargeFilter, installation.texts,
                           rvk::HostNameLessIgnoringCase);
    std::vector<const rvk::HostVehicle*> all;
    for (const rvk::HostSet& set : catalogue.sets)
        for (const rvk::HostVehicle& v : set.vehicles) all.push_back(&v);
    std::size_t i = 0;
    for (auto _ : state) {
        rvk::VehicleRec rec = rvk::HostVehicleRecord(*all[i++ % all.size()]);
        benchmark::DoNotOptimize(rec);
    }
}
BENCHMARK(BM_DecodeListedVehicle)->Unit(benchmark::kMicrosecond);

}  // namespace
