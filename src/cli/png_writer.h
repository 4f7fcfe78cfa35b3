// PNG encoding of a raster.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/render.h"

namespace rvk::tool {

// An 8-bit RGB PNG of the canvas; on failure nothing and the reason in `error`.
std::optional<std::vector<std::uint8_t>> EncodePng(const Canvas& canvas, std::string& error);

}  // namespace rvk::tool
