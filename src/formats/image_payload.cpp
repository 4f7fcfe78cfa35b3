#include "formats/image_payload.h"

#include "formats/byte_io.h"

namespace rvk {

std::vector<std::uint8_t> EncodeImagePayload(const ClipImage& image) {
    ByteWriter out;
    out.data().reserve(4 + 4 * image.pixels.size());
    out.u16(static_cast<std::uint16_t>(image.width));
    out.u16(static_cast<std::uint16_t>(image.height));
    for (const PixelValue p : image.pixels) out.u32(p);
    return std::move(out.data());
}

std::optional<ClipImage> DecodeImagePayload(std::span<const std::uint8_t> block) {
    ByteReader in(block);
    ClipImage image;
    image.width = in.u16();
    image.height = in.u16();
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    // Checked before anything is allocated: the header alone may claim 16 GiB.
    if (!in.ok() || in.remaining() / 4 < count) return std::nullopt;
    image.pixels.reserve(count);
    for (std::size_t i = 0; i < count; ++i) image.pixels.push_back(in.u32());
    return image;
}

}  // namespace rvk
