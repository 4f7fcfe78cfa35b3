// Zoom2 files are read from a document's folder and from a host installation. Reading
// one must never crash or write outside the planes, must change nothing unless it
// succeeds, and what was read must save and read back the same.
#include <algorithm>
#include <cstdint>
#include <span>

#include "formats/zoom2_codec.h"
#include "fuzz_check.h"

namespace {

using rvk::fuzz::Check;

// The vehicle a file is read into has the length the file's length word asks for, so
// the planes of every real file are decoded, up to the widest side view.
std::uint16_t LengthOfFile(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0x1A});
    const std::size_t at = static_cast<std::size_t>(end - bytes.begin()) + 1 + 7;
    if (end == bytes.end() || at + 2 > bytes.size()) return 32;
    return static_cast<std::uint16_t>((bytes[at] | (bytes[at + 1] << 8)) / 2);
}

void DecodeInto(std::uint16_t length, std::span<const std::uint8_t> bytes) {
    rvk::VehicleRec v;
    v.Length = length;
    const int result = rvk::DecodeZoom2(v, bytes);
    Check(result >= rvk::kZoom2Ok && result <= rvk::kZoom2WrongLength);
    Check(result != rvk::kZoom2AlreadyExists && result != rvk::kZoom2CannotOpen);
    if (result != rvk::kZoom2Ok) {
        Check(!v.Zoom2Exists && v.Zoom2Info.empty() && v.Zoom2HeightS == 28);
        for (const rvk::Plane& p : v.Zoom2Planes) Check(!p.allocated());
        return;
    }
    Check(v.Zoom2Exists && rvk::SizesFit(v));
    const std::vector<std::uint8_t> saved = rvk::EncodeZoom2(v);
    rvk::VehicleRec again;
    again.Length = length;
    Check(rvk::DecodeZoom2(again, saved) == rvk::kZoom2Ok);
    Check(again.Zoom2Info == v.Zoom2Info && again.Zoom2Width == v.Zoom2Width);
    for (int view = 0; view < rvk::kViewCount; ++view) {
        const rvk::ViewSize size = rvk::ViewGeometry(&v, view, true);
        const int top = rvk::RowOffset(v, view, true);
        for (int y = top; y < top + size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const rvk::PixelValue a = v.Zoom2Planes[view].at(x, y);
                const rvk::PixelValue b = again.Zoom2Planes[view].at(x, y);
                // Pixels with the reserved run-marker type byte are stored as normal.
                Check(a == b || (a >> 24 == 0xC0 && b == (a & 0xFFFFFF)));
            }
    }
    Check(rvk::EncodeZoom2(again) == saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    DecodeInto(LengthOfFile(bytes), bytes);
    return 0;
}
