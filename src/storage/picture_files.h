// Vehicle pixels as PNG files beside each other: a picture and its types picture.
#pragma once

#include <optional>
#include <string>

#include "formats/png_exchange.h"

namespace rvk {

// Reads the file at `path` and, when it exists, its types picture. On failure
// nothing and one line "FILE: reason" in `error`.
std::optional<PictureRead> ReadPictureFiles(const std::string& path, int planeWidth,
                                            int planeHeight, std::string& error);

// Writes the picture to `path` and with `withTypes` its types picture beside it, each
// crash-safe. On failure one line "FILE: reason" in `error`.
bool WritePictureFiles(const std::string& path, const ClipImage& image, bool withTypes,
                       std::string& error);

}  // namespace rvk
