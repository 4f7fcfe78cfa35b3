// Pairs of old-format vehicle files come from anywhere. One input holds both files: a
// 16-bit little-endian length, that many bytes of the graphics file (fewer when the
// input ends), and the companion file after them. Reading must never crash, hang or
// write outside a record; a refused graphics file changes nothing; whatever is read
// fits the records and survives a save and a reload.
#include <algorithm>
#include <cstdint>
#include <span>

#include "formats/document_codec.h"
#include "fuzz_check.h"
#include "host/ufg_import.h"
#include "storage/document_files.h"

namespace {

using rvk::fuzz::Check;

void CheckVehicle(const rvk::VehicleRec& v) {
    Check(rvk::SizesFit(v) && v.Length >= 8 && v.Length % 8 == 0 && v.HeightS == 14);
    Check(v.SteamCount <= 1 && v.Info[0].size() < rvk::kInfoCapacity);
    for (const std::string& info : v.Info) Check(info.size() < rvk::kInfoCapacity);
    Check(v.Props == rvk::kDefaultProps ||
          (v.Props & ~(rvk::kSingleEnded | rvk::kRev | rvk::kMotorized)) == rvk::kPixels32);
    for (int view : {3, 5, 6, 7}) Check(!v.Planes[view].allocated());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const std::size_t split =
        size < 2 ? 0 : std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
    const auto ufg = input.subspan(size < 2 ? size : 2, split);
    const auto uzz = input.subspan(std::min(size, 2 + split));

    rvk::UfgContent content;
    content.info = "untouched";
    if (rvk::DecodeUfg(ufg, content) != rvk::UfgRead::kRead) {
        Check(content.info == "untouched" && content.fleets.empty());
        return 0;
    }
    Check(content.info.size() <= rvk::kDocInfoLimit);
    std::size_t vehicles = 0;
    for (const auto& fleet : content.fleets) vehicles += fleet->vehicles.size();
    Check(content.fleets.size() * sizeof(rvk::FleetRec) + vehicles * rvk::kUfgVehicleMemory <=
          rvk::kUfgMaxMemory);

    rvk::ApplyUzz(uzz, content.fleets);
    for (const auto& fleet : content.fleets) {
        Check(fleet->name.size() < rvk::kFleetNameCapacity);
        for (const auto& v : fleet->vehicles) CheckVehicle(*v);
    }

    rvk::FileDoc doc;
    doc.info = content.info;
    doc.fleets = std::move(content.fleets);
    rvk::FileDoc again;
    Check(rvk::DecodeDocument(rvk::EncodeDocument(doc), again));
    Check(again.fleets.size() == doc.fleets.size() && again.info == doc.info);
    return 0;
}
