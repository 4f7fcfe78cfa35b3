// Documents come from anywhere. Reading one must never crash, hang or allocate beyond
// what its bytes can describe, and what was read must save to a file that reads back
// to the same bytes.
#include <cstdint>
#include <span>

#include "formats/document_codec.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using rvk::fuzz::Check;
    rvk::DocumentRec doc;
    doc.info = "before";
    if (!rvk::DecodeDocument(std::span(data, size), doc)) {
        Check(doc.info == "before" && doc.fleets.empty());
        return 0;
    }
    const std::vector<std::uint8_t> saved = rvk::EncodeDocument(doc);
    rvk::DocumentRec again;
    Check(rvk::DecodeDocument(saved, again));
    Check(again.info == doc.info && again.fleets.size() == doc.fleets.size());
    Check(rvk::EncodeDocument(again) == saved);
    return 0;
}
