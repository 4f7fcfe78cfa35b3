// "RVK_Fleet" blocks arrive through the clipboard from any program. The input's first
// 34 bytes are the header (name and vehicle count); the block then holds as many
// fresh vehicle images as the count asks (up to one more than a fleet holds), each
// with its record head overlaid by the next bytes of the input, and the last byte
// of the input may cut the block short or leave bytes after it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/fleet_payload.h"
#include "formats/vehicle_image.h"
#include "fuzz_check.h"

namespace {

using rvk::fuzz::Check;

constexpr std::size_t kImage = rvk::kVehicleImageSize;
constexpr std::size_t kRecordHead = 444;  // sizes, props, steam points, info strings

const std::vector<std::uint8_t>& FreshImage() {
    static const std::vector<std::uint8_t> image = rvk::VehicleToImage(rvk::VehicleRec());
    return image;
}

std::vector<std::uint8_t> BuildBlock(FuzzedDataProvider& in) {
    const std::uint8_t trim = in.ConsumeIntegral<std::uint8_t>();
    std::vector<std::uint8_t> block = in.ConsumeBytes<std::uint8_t>(rvk::kFleetPayloadHeader);
    block.resize(rvk::kFleetPayloadHeader, 0);
    const std::size_t count = std::min<std::size_t>(block[33], rvk::kMaxVehicles + 1);
    const std::vector<std::uint8_t> heads = in.ConsumeRemainingBytes<std::uint8_t>();
    const std::size_t headSize = count ? std::min(kRecordHead, heads.size() / count) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = block.size();
        block.insert(block.end(), FreshImage().begin(), FreshImage().end());
        std::memcpy(block.data() + at, heads.data() + i * headSize, headSize);
    }
    if (trim == 1 && !block.empty()) block.pop_back();
    if (trim == 2) block.resize(block.size() + 7, 0xAB);
    return block;
}

void DecodeBlock(const std::vector<std::uint8_t>& block) {
    const auto fleet = rvk::DecodeFleetPayload(block);
    const std::size_t count = block.size() > 33 ? block[33] : 0;
    const bool whole = block.size() >= rvk::kFleetPayloadHeader && count <= rvk::kMaxVehicles &&
                       block.size() >= rvk::kFleetPayloadHeader + count * kImage;
    if (!whole) {
        Check(fleet == nullptr);
        return;
    }
    if (!fleet) {
        // Refused only for a vehicle image that does not fit.
        bool fitting = true;
        for (std::size_t i = 0; i < count && fitting; ++i) {
            rvk::VehicleRec rec;
            fitting = rvk::VehicleFromImage(
                std::span(block).subspan(rvk::kFleetPayloadHeader + i * kImage, kImage), rec);
        }
        Check(!fitting);
        return;
    }
    Check(fleet->vehicles.size() == count);
    const auto* name = reinterpret_cast<const char*>(block.data());
    const std::size_t nameLength = strnlen(name, rvk::kFleetNameCapacity - 1);
    Check(fleet->name == std::string(name, nameLength));

    // Written again: the name padded with zeros, the count, one image per vehicle. The
    // images themselves are the vehicle image target's concern.
    const std::vector<std::uint8_t> written = rvk::EncodeFleetPayload(*fleet);
    Check(written.size() == rvk::kFleetPayloadHeader + count * kImage);
    Check(std::equal(block.begin(), block.begin() + nameLength, written.begin()));
    Check(std::all_of(written.begin() + nameLength, written.begin() + 33,
                      [](std::uint8_t b) { return b == 0; }));
    Check(written[33] == count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeBlock(std::vector(data, data + size));
    FuzzedDataProvider in(data, size);
    DecodeBlock(BuildBlock(in));
    return 0;
}
