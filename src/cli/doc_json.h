// The JSON form of a document ("rvk-json-1"): strings in Unicode, every view as its
// visible area, row-major from the top visible row, 8 lower-case hex digits a pixel.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "storage/document_files.h"

namespace rvk::tool {

inline constexpr const char* kJsonFormat = "rvk-json-1";

nlohmann::ordered_json DocumentToJson(const FileDoc& doc);
// One vehicle as DocumentToJson writes it.
nlohmann::ordered_json VehicleToJson(const VehicleRec& rec);

// What is wrong with a JSON document and where ("fleets[0].vehicles[2].views[1]").
struct JsonFault {
    std::string where;
    std::string what;
};
// Fills doc.info and doc.fleets; every vehicle with Zoom2 graphics is marked as
// changed so that saving writes its companion file. Throws JsonFault on anything a
// document cannot hold exactly.
void DocumentFromJson(const nlohmann::json& json, FileDoc& doc);

}  // namespace rvk::tool
