// PNG pictures arrive from image editors, the clipboard and the command line. The
// input is one byte choosing the plane, two bytes (little-endian) giving the length
// of the picture, the picture, and the rest as its types picture (none when empty).
#include <algorithm>
#include <cstdint>
#include <span>

#include "formats/png_exchange.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rvk::fuzz::Check;
    if (size < 3) return 0;
    const int view = data[0] % rvk::kViewCount;
    const int scale = (data[0] & 0x80) ? 2 : 1;
    const int planeW = rvk::kPlaneWidth[view] * scale, planeH = rvk::kPlaneHeight[view] * scale;
    const std::size_t pictureSize = std::min<std::size_t>(data[1] | (data[2] << 8), size - 3);
    const std::span<const std::uint8_t> picture(data + 3, pictureSize);
    const std::span<const std::uint8_t> rest(data + 3 + pictureSize, size - 3 - pictureSize);
    std::optional<std::span<const std::uint8_t>> types;
    if (!rest.empty()) types = rest;

    rvk::PictureReadError error;
    const auto read = rvk::DecodePicturePng(picture, types, planeW, planeH, error);
    if (!read) {
        Check(!error.reason.empty());
        Check(!error.inTypesPicture || types);
        return 0;
    }
    const rvk::ClipImage& image = read->image;
    Check(image.width >= 1 && image.width <= planeW * rvk::kPictureOversize);
    Check(image.height >= 1 && image.height <= planeH * rvk::kPictureOversize);
    Check(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height);
    Check(read->unknownTypes >= 0 &&
          static_cast<std::size_t>(read->unknownTypes) <= image.pixels.size());
    Check(!(read->exact && read->chunkIgnored));

    // Whatever was read pastes within the plane, and comes back exactly once written.
    rvk::Plane plane(planeW, planeH);
    rvk::PasteImage({&plane, planeW, planeH}, data[1] % planeW, data[2] % planeH, image);
    std::string reason;
    const auto again = rvk::EncodePicturePng(image, reason);
    Check(again.has_value());
    rvk::PictureReadError none;
    const auto back = rvk::DecodePicturePng(*again, std::nullopt, planeW, planeH, none);
    Check(back && back->exact && back->image.pixels == image.pixels);
    return 0;
}
