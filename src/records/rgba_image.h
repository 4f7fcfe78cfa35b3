// A picture of 8-bit RGBA pixels, as the views are rendered for other programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rvk {

// Four bytes per pixel (red, green, blue, alpha), row by row from the top.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4) {}
    std::uint8_t* at(int x, int y) {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    }
    const std::uint8_t* at(int x, int y) const {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
    }
};

}  // namespace rvk
