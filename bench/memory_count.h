// Memory counted, not sampled: the global operator new / delete are replaced by ones
// that keep the number of bytes live and its peak. Include it in one file of a
// benchmark program.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace rvk::bench {

inline std::atomic<std::size_t> liveBytes{0};
inline std::atomic<std::size_t> peakBytes{0};

// Every block carries its size in front, so the plain delete can count it too.
constexpr std::size_t kHeader = alignof(std::max_align_t);

inline void* Allocate(std::size_t n) {
    auto* p = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = n;
    const std::size_t now = liveBytes += n;
    std::size_t peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return p + kHeader;
}

inline void Release(void* q) {
    if (!q) return;
    auto* p = static_cast<unsigned char*>(q) - kHeader;
    liveBytes -= *reinterpret_cast<std::size_t*>(p);
    std::free(p);
}

// Starts a measurement: the peak from now on, above what is live now.
inline std::size_t ResetPeak() {
    const std::size_t base = liveBytes.load();
    peakBytes = base;
    return base;
}

}  // namespace rvk::bench

void* operator new(std::size_t n) {
    return rvk::bench::Allocate(n);
}
void* operator new[](std::size_t n) {
    return rvk::bench::Allocate(n);
}
void operator delete(void* p) noexcept {
    rvk::bench::Release(p);
}
void operator delete[](void* p) noexcept {
    rvk::bench::Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    rvk::bench::Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    rvk::bench::Release(p);
}
