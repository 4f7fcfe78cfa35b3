// The .rvk format: a document's info text and fleets.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "records/document.h"

namespace rvk {

// Serialises the fleets and info text as a .rvk file holds them.
std::vector<std::uint8_t> EncodeDocument(const DocumentRec& doc);
// Parses a .rvk file into doc.info and doc.fleets (replacing them). A truncated or
// corrupt file is refused as a whole: false, and doc's fleets and info are unchanged.
bool DecodeDocument(std::span<const std::uint8_t> bytes, DocumentRec& doc);

}  // namespace rvk
