// A plain bitmap on the clipboard may come from any program, of any size. Its
// conversion to Normal colours must read only the pixels the buffer holds, keep no
// more than fits, and give each pixel the bitmap's colour; pasting the result must
// stay inside the plane. The last bytes of the input choose the geometry and the
// place; the rest is the pixel buffer.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_check.h"
#include "records/image_clip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rvk::fuzz::Check;
    FuzzedDataProvider in(data, size);
    const int view = in.ConsumeIntegralInRange(0, rvk::kViewCount - 1);
    const bool zoom2 = in.ConsumeBool();
    rvk::VehicleRec vehicle;
    const rvk::PlaneRef plane = rvk::PlaneOf(&vehicle, view, zoom2);
    const int x = in.ConsumeIntegralInRange(0, plane.width - 1);
    const int y = in.ConsumeIntegralInRange(0, plane.height - 1);
    const int width = in.ConsumeIntegralInRange(-1, 1024);
    const int height = in.ConsumeIntegralInRange(-1, 1024);
    const std::size_t stride = std::max(0, width) + in.ConsumeIntegralInRange<std::size_t>(0, 64) -
                               in.ConsumeIntegralInRange<std::size_t>(0, 1);
    const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
    std::vector<std::uint32_t> words(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), words.size() * 4);

    const int maxWidth = plane.width - x, maxHeight = plane.height - y;
    const std::optional<rvk::ClipImage> image =
        rvk::ImageFromRgb(words, width, height, stride, maxWidth, maxHeight);
    const bool empty = width == 0 || height == 0;
    const bool fits =
        width >= 0 && height >= 0 &&
        (empty || (stride >= std::size_t(width) && (height - 1) * stride + width <= words.size()));
    Check(image.has_value() == fits);
    if (!image) return 0;
    Check(image->width == std::min(width, maxWidth) &&
          image->height == std::min(height, maxHeight));
    Check(image->pixels.size() == std::size_t(image->width) * image->height);
    for (int i = 0; i < image->height; ++i)
        for (int j = 0; j < image->width; ++j) {
            const std::uint32_t w = words[i * stride + j];
            Check(image->at(j, i) == rvk::MakeRgb(static_cast<std::uint8_t>(w >> 16),
                                                  static_cast<std::uint8_t>(w >> 8),
                                                  static_cast<std::uint8_t>(w)));
        }
    // Shown by day, a pasted pixel has the bitmap's colour.
    const std::vector<rvk::RgbColor> shown = rvk::ImageDisplayColors(*image);
    Check(shown == image->pixels);
    rvk::PasteImage(plane, x, y, *image);
    for (int i = 0; i < image->height; ++i)
        for (int j = 0; j < image->width; ++j)
            Check(plane.plane->at(x + j, y + i) == image->at(j, i));
    return 0;
}
