// Run-length decoding and encoding of a vehicle's full-size Zoom2 views, against a
// plain memcpy of the same pixel bytes. Every rate counts the pixel bytes of the
// views (4 per pixel), not the coded bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "bench_vehicles.h"
#include "formats/plane_codec.h"

namespace {

using rvk::PixelValue;
using rvk::VehicleRec;

enum class Content { Drawing, Noise };

// Drawing: graphics shaped like real vehicles. Noise: every pixel differs, the worst
// case (one literal word per pixel).
VehicleRec FullVehicle(Content content) {
    VehicleRec v = rvk::bench::LargestVehicle(42);
    if (content == Content::Noise) rvk::bench::FillWithNoise(v, 42);
    return v;
}

std::size_t PixelBytes(const VehicleRec& v) {
    std::size_t pixels = 0;
    for (int view = 0; view < v.viewCount(); ++view) {
        const rvk::ViewSize size = rvk::ViewGeometry(&v, view, true);
        pixels += static_cast<std::size_t>(size.width) * size.height;
    }
    return 4 * pixels;
}

std::vector<std::uint8_t> Encode(const VehicleRec& v) {
    rvk::ByteWriter out;
    for (int view = 0; view < v.viewCount(); ++view) rvk::EncodePlane(v, view, true, out);
    return std::move(out.data());
}

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// memcpy rate of `bytes`-sized copies in bytes per CPU second, the clock the
// benchmark rates use, so a busy machine skews both alike.
double MemcpyRate(std::size_t bytes) {
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
    const int reps = 5000;
    const double start = ThreadSeconds();
    for (int i = 0; i < reps; ++i) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    return static_cast<double>(bytes) * reps / (ThreadSeconds() - start);
}

// Adds the counter "vs_memcpy": this benchmark's byte rate divided by memcpy's.
void ReportAgainstMemcpy(benchmark::State& state, std::size_t bytes) {
    const double total = static_cast<double>(bytes) * static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    state.counters["vs_memcpy"] =
        benchmark::Counter(total / MemcpyRate(bytes), benchmark::Counter::kIsRate);
}

void BM_PlaneRleDecode(benchmark::State& state, Content content) {
    const VehicleRec src = FullVehicle(content);
    const std::vector<std::uint8_t> coded = Encode(src);
    VehicleRec dst = src;
    for (auto _ : state) {
        rvk::ByteReader in(coded);
        if (!rvk::DecodePlanes(in, dst, true, true)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(dst.Zoom2Planes[0].data());
        benchmark::ClobberMemory();
    }
    ReportAgainstMemcpy(state, PixelBytes(src));
}
BENCHMARK_CAPTURE(BM_PlaneRleDecode, drawing, Content::Drawing);
BENCHMARK_CAPTURE(BM_PlaneRleDecode, noise, Content::Noise);

void BM_PlaneRleEncode(benchmark::State& state, Content content) {
    const VehicleRec src = FullVehicle(content);
    rvk::ByteWriter out;
    for (auto _ : state) {
        out.data().clear();
        for (int view = 0; view < src.viewCount(); ++view) rvk::EncodePlane(src, view, true, out);
        benchmark::DoNotOptimize(out.data().data());
    }
    ReportAgainstMemcpy(state, PixelBytes(src));
}
BENCHMARK_CAPTURE(BM_PlaneRleEncode, drawing, Content::Drawing);
BENCHMARK_CAPTURE(BM_PlaneRleEncode, noise, Content::Noise);

void BM_Memcpy(benchmark::State& state) {
    const std::size_t bytes = PixelBytes(FullVehicle(Content::Drawing));
    std::vector<std::uint8_t> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
}
BENCHMARK(BM_Memcpy);

}  // namespace
