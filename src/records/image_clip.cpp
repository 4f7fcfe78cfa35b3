#include "records/image_clip.h"

#include <algorithm>

namespace rvk {

ClipImage CopyImage(ConstPlaneRef plane, CellRect r) {
    ClipImage image{r.x2 - r.x1 + 1, r.y2 - r.y1 + 1, {}};
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (int y = r.y1; y <= r.y2; ++y)
        for (int x = r.x1; x <= r.x2; ++x) image.pixels.push_back(plane.plane->at(x, y));
    return image;
}

std::vector<RgbColor> ImageDisplayColors(const ClipImage& image) {
    std::vector<RgbColor> colors;
    colors.reserve(image.pixels.size());
    for (const PixelValue p : image.pixels) colors.push_back(DisplayColor(p, 0));
    return colors;
}

std::optional<ClipImage> ImageFromRgb(std::span<const std::uint32_t> rgb, int width, int height,
                                      std::size_t stride, int maxWidth, int maxHeight) {
    if (width < 0 || height < 0) return std::nullopt;
    if (width > 0 && height > 0) {
        const auto w = static_cast<std::size_t>(width);
        if (stride < w || rgb.size() < w || (rgb.size() - w) / stride < std::size_t(height) - 1)
            return std::nullopt;
    }
    ClipImage image{std::clamp(maxWidth, 0, width), std::clamp(maxHeight, 0, height), {}};
    if (image.width == 0) return image;
    image.pixels.reserve(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (const std::uint32_t word : rgb.subspan(y * stride, image.width))
            image.pixels.push_back(PixelOfType(
                kTypeNormal,
                MakeRgb(static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
                        static_cast<std::uint8_t>(word))));
    return image;
}

void PasteImage(PlaneRef plane, int x, int y, const ClipImage& image) {
    const int w = std::min(image.width, plane.width - x);
    const int h = std::min(image.height, plane.height - y);
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j) plane.plane->set(x + j, y + i, image.at(j, i));
}

void TransformRect(PlaneRef plane, CellRect r, TransformKind kind) {
    // An untouched plane is all transparent and stays so.
    if (!plane.plane->allocated()) return;
    const ClipImage old = CopyImage({plane.plane, plane.width, plane.height}, r);
    const bool flipX = kind != TransformKind::MirrorTopBottom;
    const bool flipY = kind != TransformKind::MirrorLeftRight;
    for (int i = 0; i < old.height; ++i)
        for (int j = 0; j < old.width; ++j)
            plane.plane->set(r.x1 + j, r.y1 + i,
                             old.at(flipX ? old.width - 1 - j : j, flipY ? old.height - 1 - i : i));
}

}  // namespace rvk
