// rvktool build reads documents as JSON from any editor or script. Whatever the
// reader accepts must print back to JSON that reads to the same document, and must
// save to a document and companion files that open to that same JSON.
#include <cstdint>

#include "cli/doc_json.h"
#include "formats/document_codec.h"
#include "formats/zoom2_codec.h"
#include "fuzz_check.h"

namespace {

using nlohmann::json;
using rvk::fuzz::Check;

rvk::FileDoc FromJson(const json& j) {
    rvk::FileDoc doc;
    try {
        rvk::tool::DocumentFromJson(j, doc);
    } catch (const rvk::tool::JsonFault&) {
        Check(false);
    }
    return doc;
}

// The document as saved and opened again: the .rvk file, then each companion file.
rvk::FileDoc ThroughFiles(const rvk::FileDoc& doc) {
    rvk::FileDoc opened;
    Check(rvk::DecodeDocument(rvk::EncodeDocument(doc), opened));
    Check(opened.fleets.size() == doc.fleets.size());
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        Check(opened.fleets[i]->vehicles.size() == doc.fleets[i]->vehicles.size());
        for (std::size_t k = 0; k < doc.fleets[i]->vehicles.size(); ++k) {
            const rvk::VehicleRec& saved = *doc.fleets[i]->vehicles[k];
            if (saved.Zoom2Exists)
                Check(rvk::DecodeZoom2(*opened.fleets[i]->vehicles[k], rvk::EncodeZoom2(saved)) ==
                      rvk::kZoom2Ok);
        }
    }
    return opened;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const json j = json::parse(data, data + size, nullptr, false);
    if (j.is_discarded()) return 0;
    rvk::FileDoc doc;
    doc.info = "before";
    try {
        rvk::tool::DocumentFromJson(j, doc);
    } catch (const rvk::tool::JsonFault&) {
        Check(doc.info == "before" && doc.fleets.empty());  // nothing taken from a refused input
        return 0;
    }
    const nlohmann::ordered_json printed = rvk::tool::DocumentToJson(doc);
    const rvk::FileDoc again = FromJson(json::parse(printed.dump()));
    Check(rvk::tool::DocumentToJson(again) == printed);

    // Saving always records that the planes are stored as whole pixel words.
    for (auto& fleet : doc.fleets)
        for (auto& vehicle : fleet->vehicles) vehicle->Props |= rvk::kPixels32;
    Check(rvk::tool::DocumentToJson(ThroughFiles(doc)) == rvk::tool::DocumentToJson(doc));
    return 0;
}
