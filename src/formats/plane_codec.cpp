#include "formats/plane_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define RVK_SSE2 1
#endif

namespace rvk {

namespace {

std::uint32_t LoadLE(const std::uint8_t* p) {
    std::uint32_t v;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&v, p, 4);
    } else {
        v = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
            (std::uint32_t{p[3]} << 24);
    }
    return v;
}

void StoreLE(std::uint8_t* p, std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, 4);
    } else {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

bool IsRunWord(std::uint32_t word) {
    return (word >> 24) == (kRunMarker >> 24);
}

// The type byte 0xC0 is reserved for run markers, so a pixel carrying it (only ever
// from damaged input) could not be stored as a single pixel and would corrupt the
// file. It is stored as the normal colour, which it shows as anyway.
PixelValue Storable(PixelValue v) {
    return IsRunWord(v) ? v & 0x00FFFFFFu : v;
}

// The largest view: a Zoom2 side view.
constexpr std::size_t kMaxViewPixels = 512 * 28;
// Words stored at once for a run, whatever its length.
constexpr std::size_t kBlock = 8;

// Where the pixels of a view's visible area lie in its plane, in scan order: `lines`
// lines of `lineLen` pixels; pixel i of line k is word first + k * lineStep + i * pixStep.
struct Scan {
    int lines = 0;
    int lineLen = 0;
    std::size_t first = 0;
    std::size_t lineStep = 0;
    std::size_t pixStep = 0;

    std::size_t at(int line, int x) const { return first + line * lineStep + x * pixStep; }
};

// False when the visible area does not fit the plane: such sizes never address a plane.
bool ScanOf(const VehicleRec& vehicle, int view, bool zoom2, bool columnOrder, Scan& scan) {
    const ConstPlaneRef ref = PlaneOf(&vehicle, view, zoom2);
    const ViewSize size = ViewGeometry(&vehicle, view, zoom2);
    if (!ref.plane || size.width > ref.width || size.height > ref.height) return false;
    scan.first = std::size_t(ref.height - size.height) * (IsSideView(view) ? ref.width : 0);
    if (columnOrder) {
        scan.lines = size.width;
        scan.lineLen = size.height;
        scan.lineStep = 1;
        scan.pixStep = std::size_t(ref.width);
    } else {
        scan.lines = size.height;
        scan.lineLen = size.width;
        scan.lineStep = std::size_t(ref.width);
        scan.pixStep = 1;
    }
    return true;
}

// Places pixels given in scan order into the plane.
void ScatterView(const PixelValue* pixels, Plane& plane, const Scan& s) {
    PixelValue* base = plane.mutableData();
    if (s.pixStep == 1) {
        for (int line = 0; line < s.lines; ++line)
            std::copy_n(pixels + std::size_t(line) * s.lineLen, s.lineLen, base + s.at(line, 0));
        return;
    }
    // Columns in bands of eight, so each plane row gets eight words in order.
    constexpr int kBand = 8;
    for (int first = 0; first < s.lines; first += kBand) {
        const int band = std::min(kBand, s.lines - first);
        for (int y = 0; y < s.lineLen; ++y) {
            PixelValue* d = base + s.at(first, y);
            const PixelValue* src = pixels + std::size_t(first) * s.lineLen + y;
            for (int k = 0; k < band; ++k) d[k] = src[std::size_t(k) * s.lineLen];
        }
    }
}

// Copies up to `limit` literal words from p to out, stopping at the first run word;
// gives the number copied. `seen` collects every pixel XOR transparent.
std::size_t CopyLiterals(const std::uint8_t* p, PixelValue* out, std::size_t limit,
                         PixelValue& seen) {
    std::size_t k = 0;
#ifdef RVK_SSE2
    // Four words at a time: detailed graphics are mostly single pixels.
    const __m128i typeMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i runType = _mm_set1_epi32(static_cast<int>(kRunMarker));
    const __m128i keep = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i low = _mm_set1_epi32(0xFF);
    const __m128i transparent = _mm_set1_epi32(static_cast<int>(kTransparent));
    __m128i any = _mm_setzero_si128();
    for (; k + 4 <= limit; k += 4) {
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 4 * k));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(w, typeMask), runType))) break;
        // SwapRB, which leaves the transparent value as it is.
        const __m128i swapped = _mm_or_si128(
            _mm_and_si128(w, keep), _mm_or_si128(_mm_slli_epi32(_mm_and_si128(w, low), 16),
                                                 _mm_and_si128(_mm_srli_epi32(w, 16), low)));
        const __m128i isTransparent = _mm_cmpeq_epi32(w, transparent);
        const __m128i v =
            _mm_or_si128(_mm_and_si128(isTransparent, w), _mm_andnot_si128(isTransparent, swapped));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), v);
        any = _mm_or_si128(any, _mm_xor_si128(v, transparent));
    }
    alignas(16) PixelValue lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), any);
    seen |= lanes[0] | lanes[1] | lanes[2] | lanes[3];
#endif
    for (; k < limit; ++k) {
        const std::uint32_t w = LoadLE(p + 4 * k);
        if (IsRunWord(w)) break;
        out[k] = SwapRB(w);
        seen |= out[k] ^ kTransparent;
    }
    return k;
}

// Decodes `count` pixels in scan order from [p, end) into out; p moves past the words
// used. `opaque` tells whether any pixel is not transparent.
bool DecodeRlePixels(const std::uint8_t*& p, const std::uint8_t* end, PixelValue* out,
                     std::size_t count, bool& opaque) {
    std::size_t i = 0;
    PixelValue seen = 0;
    while (i < count) {
        if (end - p < 4) return false;
        const std::uint32_t word = LoadLE(p);
        if (!IsRunWord(word)) {
            const std::size_t limit = std::min(count - i, static_cast<std::size_t>(end - p) / 4);
            const std::size_t k = CopyLiterals(p, out + i, limit, seen);
            p += 4 * k;
            i += k;
            continue;
        }
        p += 4;
        PixelValue value = kTransparent;
        if (!(word & kTransparentRunBit)) {
            if (end - p < 4) return false;
            value = SwapRB(LoadLE(p));
            p += 4;
        }
        seen |= value ^ kTransparent;
        // A run reaching past the last pixel of the view is cut there.
        const std::size_t placed = std::min<std::size_t>((word & 0xFF) + 2, count - i);
        // Short runs, the common case, as one block store into the room behind the
        // pixels; the rest of a longer run after it.
        for (std::size_t k = 0; k < kBlock; ++k) out[i + k] = value;
        if (placed > kBlock) std::fill(out + i + kBlock, out + i + placed, value);
        i += placed;
    }
    opaque = seen != 0;
    return true;
}

}  // namespace

void EncodePlane(const VehicleRec& vehicle, int view, bool zoom2, ByteWriter& out) {
    Scan s;
    if (!ScanOf(vehicle, view, zoom2, IsRoofView(view), s)) return;
    const std::size_t pixels = std::size_t(s.lines) * s.lineLen;
    if (pixels == 0) return;
    const PixelValue* src = PlaneOf(&vehicle, view, zoom2).plane->data();
    auto& bytes = out.data();
    const std::size_t start = bytes.size();
    // Never more words than pixels: a run of two or more takes at most two words.
    bytes.resize(start + 4 * pixels);
    std::uint8_t* o = bytes.data() + start;

    PixelValue runValue = 0;
    int run = 0;
    const auto closeRun = [&] {
        if (run == 1) {
            StoreLE(o, runValue), o += 4;
        } else if (runValue == kTransparent) {
            StoreLE(o, kRunMarker | kTransparentRunBit | std::uint32_t(run - 2)), o += 4;
        } else {
            StoreLE(o, kRunMarker | std::uint32_t(run - 2)), o += 4;
            StoreLE(o, runValue), o += 4;
        }
        run = 0;
    };
    for (int line = 0; line < s.lines; ++line) {
        const PixelValue* d = src + s.at(line, 0);
        for (int x = 0; x < s.lineLen; ++x) {
            const PixelValue v = Storable(SwapRB(d[x * s.pixStep]));
            if (run > 0 && (v != runValue || run == kMaxRun)) closeRun();
            runValue = v;
            ++run;
        }
    }
    closeRun();
    bytes.resize(static_cast<std::size_t>(o - bytes.data()));
}

bool DecodePlanes(ByteReader& in, VehicleRec& vehicle, bool eightViews, bool zoom2) {
    const std::size_t startPos = in.pos();
    const auto rest = in.bytes(in.remaining());
    const std::uint8_t* p = rest.data();
    const std::uint8_t* end = p + rest.size();
    const auto scratch = std::make_unique_for_overwrite<PixelValue[]>(kMaxViewPixels + kBlock);
    for (int view = 0; view < (eightViews ? 8 : 6); ++view) {
        Scan s;
        if (!ScanOf(vehicle, view, zoom2, IsRoofView(view), s)) return in.fail();
        Plane& plane = *PlaneOf(&vehicle, view, zoom2).plane;
        bool opaque = false;
        if (!DecodeRlePixels(p, end, scratch.get(), std::size_t(s.lines) * s.lineLen, opaque))
            return in.fail();
        // A view without a visible pixel leaves an empty plane without storage.
        if (opaque || plane.allocated()) ScatterView(scratch.get(), plane, s);
    }
    return in.seek(startPos + static_cast<std::size_t>(p - rest.data()));
}

bool DecodePalettePlanes(ByteReader& in, VehicleRec& vehicle, bool eightViews, bool zoom2) {
    for (int view = 0; view < (eightViews ? 8 : 6); ++view) {
        Scan s;
        if (!ScanOf(vehicle, view, zoom2, false, s)) return in.fail();
        Plane& plane = *PlaneOf(&vehicle, view, zoom2).plane;
        PixelValue* base = plane.allocated() ? plane.mutableData() : nullptr;
        for (int line = 0; line < s.lines; ++line) {
            const auto codes = in.bytes(static_cast<std::size_t>(s.lineLen));
            if (!in.ok()) return false;
            for (int x = 0; x < s.lineLen; ++x) {
                const PixelValue value = HostPalette(codes[x]);
                if (!base && value == kTransparent) continue;
                if (!base) base = plane.mutableData();
                base[s.at(line, x)] = value;
            }
        }
    }
    return true;
}

void ReadVehicleSizes(ByteReader& in, VehicleRec& vehicle) {
    vehicle.Length = in.u16();
    vehicle.HeightS = in.u16();
    vehicle.Width = in.u16();
    vehicle.HeightF = in.u16();
    vehicle.Props = in.u32();
}

bool DecodeVehiclePlanes(ByteReader& in, VehicleRec& vehicle) {
    const bool eight = (vehicle.Props & kExtraViews) != 0;
    return (vehicle.Props & kPixels32) ? DecodePlanes(in, vehicle, eight, false)
                                       : DecodePalettePlanes(in, vehicle, eight, false);
}

}  // namespace rvk
