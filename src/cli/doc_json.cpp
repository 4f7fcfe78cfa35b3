#include "cli/doc_json.h"

#include <initializer_list>

#include "formats/codepage.h"

namespace rvk::tool {

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

constexpr char kHex[] = "0123456789abcdef";

std::string ViewToHex(const VehicleRec& rec, int view, bool zoom2) {
    const ConstPlaneRef ref = PlaneOf(&rec, view, zoom2);
    const ViewSize size = ViewGeometry(&rec, view, zoom2);
    const int rowOffset = RowOffset(rec, view, zoom2);
    std::string out;
    out.reserve(static_cast<std::size_t>(size.width) * size.height * 8);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const PixelValue p = ref.plane->at(x, y + rowOffset);
            for (int shift = 28; shift >= 0; shift -= 4) out.push_back(kHex[(p >> shift) & 0xF]);
        }
    return out;
}

ordered_json ViewsToJson(const VehicleRec& rec, bool zoom2) {
    ordered_json views = ordered_json::array();
    for (int v = 0; v < rec.viewCount(); ++v) views.push_back(ViewToHex(rec, v, zoom2));
    return views;
}

}  // namespace

ordered_json VehicleToJson(const VehicleRec& rec) {
    ordered_json j;
    j["length"] = rec.Length;
    j["heightS"] = rec.HeightS;
    j["width"] = rec.Width;
    j["heightF"] = rec.HeightF;
    j["props"] = rec.Props;
    ordered_json steam = ordered_json::array();
    for (int i = 0; i < rec.SteamCount; ++i)
        steam.push_back({rec.Steam[3 * i], rec.Steam[3 * i + 1], rec.Steam[3 * i + 2]});
    j["steam"] = steam;
    ordered_json info = ordered_json::array();
    for (const std::string& s : rec.Info) info.push_back(Cp1252ToUtf8(s));
    j["info"] = info;
    j["views"] = ViewsToJson(rec, false);
    if (rec.Zoom2Exists) {
        ordered_json z;
        z["heightS"] = rec.Zoom2HeightS;
        z["width"] = rec.Zoom2Width;
        z["heightF"] = rec.Zoom2HeightF;
        z["info"] = Cp1252ToUtf8(rec.Zoom2Info);
        z["views"] = ViewsToJson(rec, true);
        j["zoom2"] = z;
    } else {
        j["zoom2"] = nullptr;
    }
    return j;
}

namespace {

// ---- reading ----

[[noreturn]] void Fault(const std::string& where, const std::string& what) {
    throw JsonFault{where.empty() ? "document" : where, what};
}

std::string Member(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}
std::string Item(const std::string& where, std::size_t i) {
    return where + "[" + std::to_string(i) + "]";
}

// An object with exactly these keys.
void ExpectObject(const json& j, const std::string& where,
                  std::initializer_list<const char*> keys) {
    if (!j.is_object()) Fault(where, "expected an object");
    for (const char* key : keys)
        if (!j.contains(key)) Fault(where, std::string("missing key \"") + key + "\"");
    for (const auto& item : j.items()) {
        bool known = false;
        for (const char* key : keys) known |= item.key() == key;
        if (!known) Fault(Member(where, item.key()), "unknown key");
    }
}

const json& ExpectArray(const json& j, const std::string& where, std::size_t low,
                        std::size_t high) {
    if (!j.is_array()) Fault(where, "expected an array");
    if (j.size() < low || j.size() > high) {
        const std::string count =
            low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high);
        Fault(where, "expected " + count + " entries, found " + std::to_string(j.size()));
    }
    return j;
}

std::uint32_t Unsigned(const json& j, const std::string& where, std::uint32_t high) {
    if (!j.is_number_integer() || (!j.is_number_unsigned() && j.get<std::int64_t>() < 0))
        Fault(where, "expected a whole number from 0 to " + std::to_string(high));
    const std::uint64_t v = j.get<std::uint64_t>();
    if (v > high)
        Fault(where, "expected at most " + std::to_string(high) + ", found " + std::to_string(v));
    return static_cast<std::uint32_t>(v);
}

std::uint16_t Size(const json& j, const std::string& where, std::uint32_t high) {
    return static_cast<std::uint16_t>(Unsigned(j, where, high));
}

// A string as the stored Windows-1252 bytes; it must survive the trip unchanged.
std::string Text(const json& j, const std::string& where, std::size_t maxChars,
                 bool allowEof = true) {
    if (!j.is_string()) Fault(where, "expected a string");
    const auto& utf8 = j.get_ref<const std::string&>();
    std::string bytes = Utf8ToCp1252(utf8);
    if (Cp1252ToUtf8(bytes) != utf8) Fault(where, "has characters that Windows-1252 cannot hold");
    if (bytes.find('\0') != std::string::npos) Fault(where, "contains a NUL character");
    if (!allowEof && bytes.find('\x1a') != std::string::npos)
        Fault(where, "contains the character U+001A, which ends the text in the file");
    if (bytes.size() > maxChars)
        Fault(where, "longer than " + std::to_string(maxChars) + " characters");
    return bytes;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whether a pixel survives being written to a plane coding and read back: the file
// holds it with red and blue exchanged, and a top byte 0xC0 would read as a run.
bool Storable(PixelValue p) {
    const PixelValue stored = SwapRB(p);
    return (stored >> 24) != 0xC0 && SwapRB(stored) == p;
}

void ViewFromHex(const json& j, const std::string& where, VehicleRec& rec, int view, bool zoom2) {
    if (!j.is_string()) Fault(where, "expected a string of hex digits");
    const auto& hex = j.get_ref<const std::string&>();
    const ViewSize size = ViewGeometry(&rec, view, zoom2);
    const std::size_t expected = static_cast<std::size_t>(size.width) * size.height * 8;
    if (hex.size() != expected)
        Fault(where, "expected " + std::to_string(expected) + " hex digits for " +
                         std::to_string(size.width) + " x " + std::to_string(size.height) +
                         " pixels, found " + std::to_string(hex.size()));
    const PlaneRef ref = PlaneOf(&rec, view, zoom2);
    const int rowOffset = RowOffset(rec, view, zoom2);
    std::size_t at = 0;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            PixelValue p = 0;
            for (int k = 0; k < 8; ++k, ++at) {
                const int d = HexDigit(hex[at]);
                if (d < 0) Fault(where, "character " + std::to_string(at) + " is not a hex digit");
                p = (p << 4) | static_cast<PixelValue>(d);
            }
            if (!Storable(p))
                Fault(where, "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") " +
                                 hex.substr(at - 8, 8) + " cannot be stored in a file");
            ref.plane->set(x, y + rowOffset, p);
        }
}

void ViewsFromJson(const json& j, const std::string& where, VehicleRec& rec, bool zoom2) {
    const std::size_t count = static_cast<std::size_t>(rec.viewCount());
    ExpectArray(j, where, count, count);
    for (int v = 0; v < rec.viewCount(); ++v) ViewFromHex(j[v], Item(where, v), rec, v, zoom2);
}

void VehicleFromJson(const json& j, const std::string& where, VehicleRec& rec) {
    ExpectObject(
        j, where,
        {"length", "heightS", "width", "heightF", "props", "steam", "info", "views", "zoom2"});
    // The plane capacities bound the sizes.
    rec.Length = Size(j["length"], Member(where, "length"), 256);
    rec.HeightS = Size(j["heightS"], Member(where, "heightS"), 14);
    rec.Width = Size(j["width"], Member(where, "width"), 16);
    rec.HeightF = Size(j["heightF"], Member(where, "heightF"), 14);
    rec.Props = Unsigned(j["props"], Member(where, "props"), 0xFFFFFFFFu);

    const std::string steamAt = Member(where, "steam");
    const json& steam = ExpectArray(j["steam"], steamAt, 0, 3);
    rec.SteamCount = static_cast<std::uint8_t>(steam.size());
    for (std::size_t i = 0; i < steam.size(); ++i) {
        const json& point = ExpectArray(steam[i], Item(steamAt, i), 3, 3);
        for (std::size_t k = 0; k < 3; ++k)
            rec.Steam[3 * i + k] = Size(point[k], Item(Item(steamAt, i), k), 0xFFFF);
    }

    const std::string infoAt = Member(where, "info");
    const json& info = ExpectArray(j["info"], infoAt, 5, 5);
    for (std::size_t i = 0; i < 5; ++i)
        rec.Info[i] = Text(info[i], Item(infoAt, i), kInfoCapacity - 1);

    ViewsFromJson(j["views"], Member(where, "views"), rec, false);

    const json& z = j["zoom2"];
    if (z.is_null()) return;
    const std::string zAt = Member(where, "zoom2");
    ExpectObject(z, zAt, {"heightS", "width", "heightF", "info", "views"});
    rec.Zoom2HeightS = Size(z["heightS"], Member(zAt, "heightS"), 28);
    rec.Zoom2Width = Size(z["width"], Member(zAt, "width"), 32);
    rec.Zoom2HeightF = Size(z["heightF"], Member(zAt, "heightF"), 28);
    rec.Zoom2Info = Text(z["info"], Member(zAt, "info"), kInfoCapacity - 1);
    ViewsFromJson(z["views"], Member(zAt, "views"), rec, true);
    rec.Zoom2Exists = true;
    rec.Zoom2Modified = true;
}

}  // namespace

ordered_json DocumentToJson(const FileDoc& doc) {
    ordered_json j;
    j["format"] = kJsonFormat;
    j["info"] = Cp1252ToUtf8(doc.info);
    ordered_json fleets = ordered_json::array();
    for (const auto& fleet : doc.fleets) {
        ordered_json f;
        f["name"] = Cp1252ToUtf8(fleet->name);
        ordered_json vehicles = ordered_json::array();
        for (const auto& vehicle : fleet->vehicles) vehicles.push_back(VehicleToJson(*vehicle));
        f["vehicles"] = vehicles;
        fleets.push_back(f);
    }
    j["fleets"] = fleets;
    return j;
}

void DocumentFromJson(const json& j, FileDoc& doc) {
    ExpectObject(j, "", {"format", "info", "fleets"});
    if (j["format"] != kJsonFormat)
        Fault("format", std::string("expected \"") + kJsonFormat + "\"");
    std::string info = Text(j["info"], "info", kDocInfoLimit, false);
    const json& fleets = ExpectArray(j["fleets"], "fleets", 0, kMaxFleets);
    std::vector<std::unique_ptr<FleetRec>> out;
    for (std::size_t i = 0; i < fleets.size(); ++i) {
        const std::string where = Item("fleets", i);
        ExpectObject(fleets[i], where, {"name", "vehicles"});
        auto fleet =
            CreateFleet(Text(fleets[i]["name"], Member(where, "name"), kFleetNameCapacity - 1));
        const std::string vAt = Member(where, "vehicles");
        const json& vehicles = ExpectArray(fleets[i]["vehicles"], vAt, 0, kMaxVehicles);
        for (std::size_t k = 0; k < vehicles.size(); ++k) {
            auto rec = std::make_unique<VehicleRec>();
            VehicleFromJson(vehicles[k], Item(vAt, k), *rec);
            fleet->vehicles.push_back(std::move(rec));
        }
        out.push_back(std::move(fleet));
    }
    doc.info = std::move(info);
    doc.fleets = std::move(out);
}

}  // namespace rvk::tool
