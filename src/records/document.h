// A document's content: its fleets of vehicles and its info text, with the state the
// document window keeps with it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/vehicle.h"

namespace rvk {

// The program's name as captions and the files it writes carry it.
inline constexpr std::string_view kTitleText = "RVK Editor 3.0 Beta2";
inline constexpr std::size_t kDocInfoLimit = 2047;

struct DocumentRec {
    std::string info;  // Windows-1252 bytes, lines separated by CR LF
    std::vector<std::unique_ptr<FleetRec>> fleets;
    bool modified = false;
    bool loading = false;
};

}  // namespace rvk
