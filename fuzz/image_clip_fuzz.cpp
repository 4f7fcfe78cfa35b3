// "RVK_Image" blocks arrive through the clipboard from any program. Decoding one must
// refuse what its bytes cannot hold, and pasting it anywhere on any plane, then
// mirroring or rotating a selection there, must stay inside the plane and change
// exactly the cells it addresses. The last bytes of the input choose the plane, the
// place of the paste and the selection; the rest is the block.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "formats/image_payload.h"
#include "fuzz_check.h"
#include "records/image_clip.h"

namespace {

using rvk::fuzz::Check;

// A corner and a second corner right of and below it, inside the plane.
rvk::CellRect PickRect(FuzzedDataProvider& in, const rvk::PlaneRef& plane) {
    rvk::CellRect r;
    r.x1 = in.ConsumeIntegralInRange(0, plane.width - 1);
    r.y1 = in.ConsumeIntegralInRange(0, plane.height - 1);
    r.x2 = in.ConsumeIntegralInRange(r.x1, plane.width - 1);
    r.y2 = in.ConsumeIntegralInRange(r.y1, plane.height - 1);
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int view = in.ConsumeIntegralInRange(0, rvk::kViewCount - 1);
    const bool zoom2 = in.ConsumeBool();
    const auto kind = static_cast<rvk::TransformKind>(in.ConsumeIntegralInRange(1, 3));
    rvk::VehicleRec vehicle;
    const rvk::PlaneRef plane = rvk::PlaneOf(&vehicle, view, zoom2);
    const rvk::CellRect paste = PickRect(in, plane);
    const rvk::CellRect selection = PickRect(in, plane);
    const std::vector<std::uint8_t> block = in.ConsumeRemainingBytes<std::uint8_t>();

    const std::optional<rvk::ClipImage> image = rvk::DecodeImagePayload(block);
    if (!image) {
        const auto word = [&](std::size_t at) {
            return static_cast<std::size_t>(block[at] | (block[at + 1] << 8));
        };
        Check(block.size() < 4 || (block.size() - 4) / 4 < word(0) * word(2));
        return 0;
    }
    const std::size_t used = 4 + 4 * image->pixels.size();
    Check(image->pixels.size() == std::size_t(image->width) * image->height);
    Check(rvk::EncodeImagePayload(*image) == std::vector(block.begin(), block.begin() + used));
    Check(rvk::ImageDisplayColors(*image).size() == image->pixels.size());

    // Pasted onto a fresh (transparent) plane: the image where it lands, nothing else.
    rvk::PasteImage(plane, paste.x1, paste.y1, *image);
    const rvk::CellRect whole{0, 0, plane.width - 1, plane.height - 1};
    const rvk::ClipImage pasted = rvk::CopyImage({plane.plane, plane.width, plane.height}, whole);
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x) {
            const int j = x - paste.x1, i = y - paste.y1;
            const bool covered = j >= 0 && i >= 0 && j < image->width && i < image->height;
            Check(pasted.at(x, y) == (covered ? image->at(j, i) : rvk::kTransparent));
        }

    // The selection mirrored or rotated; done twice it is back as it was.
    const rvk::CellRect& r = selection;
    rvk::TransformRect(plane, r, kind);
    const rvk::ClipImage turned = rvk::CopyImage({plane.plane, plane.width, plane.height}, whole);
    const bool flipX = kind != rvk::TransformKind::MirrorTopBottom;
    const bool flipY = kind != rvk::TransformKind::MirrorLeftRight;
    for (int y = 0; y < plane.height; ++y)
        for (int x = 0; x < plane.width; ++x) {
            const bool inside = x >= r.x1 && x <= r.x2 && y >= r.y1 && y <= r.y2;
            const int fromX = inside && flipX ? r.x1 + r.x2 - x : x;
            const int fromY = inside && flipY ? r.y1 + r.y2 - y : y;
            Check(turned.at(x, y) == pasted.at(fromX, fromY));
        }
    rvk::TransformRect(plane, r, kind);
    Check(rvk::CopyImage({plane.plane, plane.width, plane.height}, whole).pixels == pasted.pixels);
    return 0;
}
