// The vehicle record with its sixteen graphics planes, fleets and documents.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "records/pixel.h"

namespace rvk {

inline constexpr int kViewCount = 8;
inline constexpr int kMaxFleets = 10;
inline constexpr int kMaxVehicles = 16;
inline constexpr std::size_t kInfoCapacity = 81;       // 80 characters and a NUL
inline constexpr std::size_t kFleetNameCapacity = 33;  // 32 characters and a NUL
inline constexpr std::size_t kZoom2PathCapacity = 255;

// Property bits.
inline constexpr std::uint32_t kSingleEnded = 0x0001;
inline constexpr std::uint32_t kRev = 0x0040;
inline constexpr std::uint32_t kLwx = 0x0080;
inline constexpr std::uint32_t kExtraViews = 0x0100;
inline constexpr std::uint32_t kPixels32 = 0x0200;
inline constexpr std::uint32_t kMotorized = 0x8000;
inline constexpr std::uint32_t kDefaultProps = 0x8301;

// Plane capacities at normal scale; every Zoom2 figure is twice these.
inline constexpr std::array<int, kViewCount> kPlaneWidth = {256, 256, 16, 16, 16, 16, 16, 16};
inline constexpr std::array<int, kViewCount> kPlaneHeight = {14, 14, 128, 14, 128, 14, 14, 14};

inline constexpr bool IsSideView(int view) { return view == 0 || view == 1; }
inline constexpr bool IsRoofView(int view) { return view == 2 || view == 4; }

// One rectangle of pixels, row by row with the plane width as stride. Storage is
// allocated on the first write; until then every pixel reads as transparent.
class Plane {
public:
    Plane() = default;
    Plane(int width, int height)
        : width_(static_cast<std::uint16_t>(width)), height_(static_cast<std::uint16_t>(height)) {}

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t size() const { return std::size_t{width_} * height_; }
    bool allocated() const { return !words_.empty(); }

    // All words; a shared transparent block while nothing was written.
    const PixelValue* data() const;
    // All words for writing; allocates (transparent) on first use.
    PixelValue* mutableData();

    PixelValue at(int x, int y) const { return data()[y * width_ + x]; }
    void set(int x, int y, PixelValue v) {
        if (!allocated() && v == kTransparent) return;
        mutableData()[y * width_ + x] = v;
    }
    // Back to all transparent, releasing the storage.
    void reset() { words_.clear(), words_.shrink_to_fit(); }

    // Equal content, whether or not storage exists.
    bool sameContent(const Plane& other) const;
    bool operator==(const Plane& other) const {
        return width_ == other.width_ && height_ == other.height_ && sameContent(other);
    }

private:
    std::uint16_t width_ = 0;
    std::uint16_t height_ = 0;
    std::vector<PixelValue> words_;
};

struct VehicleRec {
    VehicleRec();

    std::uint16_t Length = 32;
    std::uint16_t HeightS = 14;
    std::uint16_t Width = 8;
    std::uint16_t HeightF = 9;
    std::uint32_t Props = kDefaultProps;
    std::uint8_t SteamCount = 0;
    std::array<std::uint16_t, 9> Steam{};  // X, Y, Length per point
    std::array<std::string, 5> Info;        // Windows-1252 bytes, at most 80 each
    std::array<Plane, kViewCount> Planes;

    bool Zoom2Exists = false;
    std::uint16_t Zoom2HeightS = 28;
    std::uint16_t Zoom2Width = 16;
    std::uint16_t Zoom2HeightF = 18;
    std::string Zoom2Info;
    std::array<Plane, kViewCount> Zoom2Planes;
    bool Zoom2Modified = false;
    std::string Zoom2Path;  // UTF-8 path of the companion file last read or written

    int viewCount() const { return (Props & kExtraViews) ? 8 : 6; }
    // Every field the same, both scales and the companion-file fields included.
    bool operator==(const VehicleRec&) const = default;
};

struct FleetRec {
    std::string name;  // Windows-1252 bytes, at most 32
    std::vector<std::unique_ptr<VehicleRec>> vehicles;
};

// A plane with its stride and height, as the views address it.
struct PlaneRef {
    Plane* plane = nullptr;
    int width = 0;
    int height = 0;
};
struct ConstPlaneRef {
    const Plane* plane = nullptr;
    int width = 0;
    int height = 0;
};
struct ViewSize {
    int width = 0;
    int height = 0;
};

void InitVehicle(VehicleRec& rec);
// Copies everything and clears the copy's Zoom2Modified.
void CopyVehicle(VehicleRec& dst, const VehicleRec& src);
PlaneRef PlaneOf(VehicleRec* rec, int view, bool zoom2);
ConstPlaneRef PlaneOf(const VehicleRec* rec, int view, bool zoom2);
ViewSize ViewGeometry(const VehicleRec* rec, int view, bool zoom2);
// Plane row of visible row 0: side views keep their visible rows at the bottom.
int RowOffset(const VehicleRec& rec, int view, bool zoom2);
// True when every size fits its plane capacity and at most three steam points are
// in use: the condition under which views can be addressed safely. Readers refuse
// records that break it.
bool SizesFit(const VehicleRec& rec);
// Zoom2 graphics by pixel doubling of the normal graphics.
void DeriveZoom2(VehicleRec& rec, std::string_view zoom2Info);
std::unique_ptr<FleetRec> CreateFleet(std::string name);

}  // namespace rvk
