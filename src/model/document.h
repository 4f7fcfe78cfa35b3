// A document: its fleets and the state the document window keeps with it, and the
// .rvk file that stores it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/vehicle.h"

namespace rvk {

inline constexpr std::string_view kTitleText = "RVK Editor 3.0 Beta2";
inline constexpr std::size_t kDocInfoLimit = 2047;
inline constexpr int kTextCannotOpen = 555;  // language text: "cannot open %s"

// What a window must tell the user: a language text number and its string argument.
struct Message {
    int text = 0;
    std::string arg;
    bool operator==(const Message&) const = default;
};

struct FileDoc {
    std::string path;  // UTF-8
    std::string info;  // Windows-1252 bytes, lines separated by CR LF
    std::vector<std::unique_ptr<FleetRec>> fleets;
    bool modified = false;
    bool loading = false;
    bool named = false;
    // Companion files that belong to the document, compared by the file system's case rule.
    std::vector<std::string> KnownZoom2Files;
};

// Serialises the fleets and info text as a .rvk file holds them.
std::vector<std::uint8_t> EncodeDocument(const FileDoc& doc);
// Parses a .rvk file into doc.info and doc.fleets (replacing them). A truncated or
// corrupt file is refused as a whole: false, and doc's fleets and info are unchanged.
bool DecodeDocument(std::span<const std::uint8_t> bytes, FileDoc& doc);

struct LoadResult {
    bool ok = false;
    std::optional<Message> error;  // 555 with the path when !ok
};
// Reads the file at doc.path, then every companion Zoom2 file that exists.
LoadResult LoadDocument(FileDoc& doc);

struct SaveResult {
    bool documentWritten = false;   // the .rvk file was replaced
    std::vector<Message> messages;  // one 555 per file that could not be written
    bool ok() const { return documentWritten && messages.empty(); }
};
// Writes the .rvk file at doc.path (atomically), then the companion files. The
// document becomes unmodified and named only when every file was written.
SaveResult SaveDocument(FileDoc& doc);

}  // namespace rvk
