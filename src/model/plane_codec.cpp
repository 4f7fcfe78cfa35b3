#include "model/plane_codec.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

// Decodes one view from [p, end); p moves past the words used.
bool DecodeRleView(const std::uint8_t*& p, const std::uint8_t* end, Plane& plane, const Scan& s) {
    if (s.lines == 0 || s.lineLen == 0) return true;
    // Storage is allocated only once a visible pixel is not transparent.
    PixelValue* base = plane.allocated() ? plane.mutableData() : nullptr;
    int line = 0;
    int x = 0;
    while (line < s.lines) {
        if (end - p < 4) return false;
        const std::uint32_t word = LoadLE(p);
        if (!IsRunWord(word)) {
            const PixelValue value = SwapRB(word);
            if (!base && value == kTransparent) {
                p += 4;
                if (++x == s.lineLen) x = 0, ++line;
                continue;
            }
            if (!base) base = plane.mutableData();
            // Literal runs are the common case of detailed graphics: place them in a
            // tight loop up to the end of the line.
            PixelValue* d = base + s.at(line, x);
            const auto room = static_cast<std::size_t>(s.lineLen - x);
            const std::size_t limit = std::min(room, static_cast<std::size_t>(end - p) / 4);
            std::size_t i = 0;
            if (s.pixStep == 1) {
                for (; i < limit; ++i) {
                    const std::uint32_t w = LoadLE(p + 4 * i);
                    if (IsRunWord(w)) break;
                    d[i] = SwapRB(w);
                }
            } else {
                for (; i < limit; ++i) {
                    const std::uint32_t w = LoadLE(p + 4 * i);
                    if (IsRunWord(w)) break;
                    d[i * s.pixStep] = SwapRB(w);
                }
            }
            p += 4 * i;
            x += static_cast<int>(i);
            if (x == s.lineLen) x = 0, ++line;
            continue;
        }
        p += 4;
        int n = static_cast<int>(word & 0xFF) + 2;
        PixelValue value = kTransparent;
        if (!(word & kTransparentRunBit)) {
            if (end - p < 4) return false;
            value = SwapRB(LoadLE(p));
            p += 4;
        }
        if (!base && value != kTransparent) base = plane.mutableData();
        // A run reaching past the last pixel of the view is cut there.
        while (n > 0 && line < s.lines) {
            const int k = std::min(n, s.lineLen - x);
            if (base) {
                PixelValue* d = base + s.at(line, x);
                if (s.pixStep == 1) {
                    std::fill_n(d, k, value);
                } else {
                    for (int i = 0; i < k; ++i) d[i * s.pixStep] = value;
                }
            }
            n -= k;
            x += k;
            if (x == s.lineLen) x = 0, ++line;
        }
    }
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
    bool ok = true;
    for (int view = 0; view < (eightViews ? 8 : 6) && ok; ++view) {
        Scan s;
        ok = ScanOf(vehicle, view, zoom2, IsRoofView(view), s) &&
             DecodeRleView(p, end, *PlaneOf(&vehicle, view, zoom2).plane, s);
    }
    if (!ok) return in.fail();
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

}  // namespace rvk
