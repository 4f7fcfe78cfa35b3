#include "records/vehicle.h"

#include <algorithm>

namespace rvk {

namespace {

// The largest plane is a Zoom2 side view.
constexpr std::size_t kLargestPlane = 512 * 28;

const std::array<PixelValue, kLargestPlane>& TransparentBlock() {
    static const auto block = [] {
        std::array<PixelValue, kLargestPlane> b;
        b.fill(kTransparent);
        return b;
    }();
    return block;
}

template <typename Rec, typename Ref>
Ref PlaneOfImpl(Rec* rec, int view, bool zoom2) {
    if (!rec || view < 0 || view >= kViewCount) return {};
    auto& plane = zoom2 ? rec->Zoom2Planes[view] : rec->Planes[view];
    return {&plane, plane.width(), plane.height()};
}

}  // namespace

const PixelValue* Plane::data() const {
    return allocated() ? words_.data() : TransparentBlock().data();
}

PixelValue* Plane::mutableData() {
    if (!allocated()) words_.assign(size(), kTransparent);
    return words_.data();
}

bool Plane::sameContent(const Plane& other) const {
    return size() == other.size() && std::equal(data(), data() + size(), other.data());
}

VehicleRec::VehicleRec() {
    for (int v = 0; v < kViewCount; ++v) {
        Planes[v] = Plane(kPlaneWidth[v], kPlaneHeight[v]);
        Zoom2Planes[v] = Plane(2 * kPlaneWidth[v], 2 * kPlaneHeight[v]);
    }
}

void InitVehicle(VehicleRec& rec) {
    const auto steam = rec.Steam;  // left as they are
    rec = VehicleRec();
    rec.Steam = steam;
}

void CopyVehicle(VehicleRec& dst, const VehicleRec& src) {
    if (&dst != &src) dst = src;
    dst.Zoom2Modified = false;
}

PlaneRef PlaneOf(VehicleRec* rec, int view, bool zoom2) {
    return PlaneOfImpl<VehicleRec, PlaneRef>(rec, view, zoom2);
}

ConstPlaneRef PlaneOf(const VehicleRec* rec, int view, bool zoom2) {
    return PlaneOfImpl<const VehicleRec, ConstPlaneRef>(rec, view, zoom2);
}

ViewSize ViewGeometry(const VehicleRec* rec, int view, bool zoom2) {
    if (!rec || view < 0 || view >= kViewCount) return {};
    const int len = zoom2 ? 2 * rec->Length : rec->Length;
    const int hs = zoom2 ? rec->Zoom2HeightS : rec->HeightS;
    const int w = zoom2 ? rec->Zoom2Width : rec->Width;
    const int hf = zoom2 ? rec->Zoom2HeightF : rec->HeightF;
    if (IsSideView(view)) return {len, hs};
    if (IsRoofView(view)) return {w, rec->Length / (zoom2 ? 1 : 2)};
    return {w, hf};
}

int RowOffset(const VehicleRec& rec, int view, bool zoom2) {
    if (!IsSideView(view)) return 0;
    const int planeHeight = (zoom2 ? 2 : 1) * kPlaneHeight[view];
    return planeHeight - ViewGeometry(&rec, view, zoom2).height;
}

bool SizesFit(const VehicleRec& rec) {
    return rec.Length <= 256 && rec.HeightS <= 14 && rec.Width <= 16 && rec.HeightF <= 14 &&
           rec.Zoom2HeightS <= 28 && rec.Zoom2Width <= 32 && rec.Zoom2HeightF <= 28 &&
           rec.SteamCount <= 3;
}

void DeriveZoom2(VehicleRec& rec, std::string_view zoom2Info) {
    rec.Zoom2HeightS = static_cast<std::uint16_t>(2 * rec.HeightS);
    rec.Zoom2Width = static_cast<std::uint16_t>(2 * rec.Width);
    rec.Zoom2HeightF = static_cast<std::uint16_t>(2 * rec.HeightF);
    for (int v = 0; v < kViewCount; ++v) {
        const Plane& src = rec.Planes[v];
        Plane& dst = rec.Zoom2Planes[v];
        if (!src.allocated()) {
            dst.reset();
            continue;
        }
        const PixelValue* s = src.data();
        PixelValue* d = dst.mutableData();
        for (int y = 0; y < dst.height(); ++y)
            for (int x = 0; x < dst.width(); ++x)
                d[y * dst.width() + x] = s[(y / 2) * src.width() + x / 2];
    }
    rec.Zoom2Info = std::string(zoom2Info.substr(0, kInfoCapacity - 1));
    rec.Zoom2Exists = true;
    rec.Zoom2Modified = true;
}

std::unique_ptr<FleetRec> CreateFleet(std::string name) {
    auto fleet = std::make_unique<FleetRec>();
    fleet->name = std::move(name);
    return fleet;
}

}  // namespace rvk
