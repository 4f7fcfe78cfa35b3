// Vehicle images arrive through the clipboard from any program. The input is laid over
// a fresh vehicle's image in three parts (the record head, the Zoom2 head and the tail
// with the path), so short inputs reach every field; the rest stays a valid image.
#include <algorithm>
#include <cstdint>
#include <span>

#include "formats/vehicle_image.h"
#include "fuzz_check.h"
#include "records/vehicle.h"

namespace {

constexpr std::size_t kZoom2Part = 49084;
constexpr std::size_t kTailPart = 243736;

const std::vector<std::uint8_t>& FreshImage() {
    static const std::vector<std::uint8_t> image = rvk::VehicleToImage(rvk::VehicleRec());
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rvk::fuzz::Check;
    std::vector<std::uint8_t> image = FreshImage();
    const std::size_t third = size / 3;
    const std::size_t parts[3][2] = {
        {0, third}, {kZoom2Part, third}, {kTailPart, size - 2 * third}};
    const std::uint8_t* in = data;
    for (const auto& [at, n] : parts) {
        std::copy_n(in, std::min(n, image.size() - at), image.begin() + at);
        in += n;
    }

    rvk::VehicleRec rec;
    Check(!rvk::VehicleFromImage(std::span(data, std::min(size, image.size() - 1)), rec));
    if (!rvk::VehicleFromImage(image, rec)) return 0;
    Check(rvk::SizesFit(rec));
    const std::vector<std::uint8_t> written = rvk::VehicleToImage(rec);
    rvk::VehicleRec again;
    Check(rvk::VehicleFromImage(written, again));
    Check(rvk::VehicleToImage(again) == written);
    return 0;
}
