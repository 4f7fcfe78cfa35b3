#include "records/end_view_shift.h"

#include <algorithm>
#include <vector>

namespace rvk {

namespace {

// Roof half, end view and extra end view of each vehicle end.
struct VehicleEnd {
    int roof;
    int end;
    int extra;
};
constexpr VehicleEnd kEnds[] = {{2, 3, 7}, {4, 5, 6}};

int EndHeight(const VehicleRec& rec, bool zoom2) {
    return zoom2 ? rec.Zoom2HeightF : rec.HeightF;
}

// Plane rows and columns the shift works on.
class RowMover {
public:
    explicit RowMover(int width) : width_(width) {}

    void copy(Plane& dst, int dstRow, const Plane& src, int srcRow) const {
        for (int x = 0; x < width_; ++x) dst.set(x, dstRow, src.at(x, srcRow));
    }
    void clear(Plane& plane, int row) const {
        for (int x = 0; x < width_; ++x) plane.set(x, row, kTransparent);
    }

private:
    int width_;
};

}  // namespace

bool CanShiftEndViews(const VehicleRec& rec, bool zoom2, int count, bool up) {
    const int maxH = PlaneOf(&rec, 3, zoom2).height;
    const int h = EndHeight(rec, zoom2);
    if (count <= 0 || h > maxH) return false;
    return up ? count < h - 1 : maxH - h >= count;
}

std::optional<int> ShiftEndViews(VehicleRec& rec, bool zoom2, int count, int roof, bool up) {
    if (!CanShiftEndViews(rec, zoom2, count, up)) return std::nullopt;
    const PlaneRef roofRef = PlaneOf(&rec, 2, zoom2);
    const PlaneRef endRef = PlaneOf(&rec, 3, zoom2);
    const int w = std::min<int>(zoom2 ? rec.Zoom2Width : rec.Width, endRef.width);
    const int h = EndHeight(rec, zoom2);
    // The roof half's visible rows, never more than its plane holds.
    const int j = std::min(zoom2 ? int{rec.Length} : rec.Length / 2, roofRef.height);
    // Every roof row read or written must lie in the visible roof, above the rows the
    // end view takes.
    roof = std::clamp(roof, 0, std::max(0, j - count));
    const int k = j - roof;
    const RowMover rows(w);

    for (const VehicleEnd& e : kEnds) {
        Plane& r = *PlaneOf(&rec, e.roof, zoom2).plane;
        std::vector<Plane*> ends{PlaneOf(&rec, e.end, zoom2).plane};
        if (rec.Props & kExtraViews) ends.push_back(PlaneOf(&rec, e.extra, zoom2).plane);
        if (up) {
            for (int q = k; q < j; ++q) rows.copy(r, q - count, r, q);
            // Rows that would land above the roof's top leave the strip.
            for (int l = 0; l < count; ++l)
                if (j - count + l >= 0) rows.copy(r, j - count + l, *ends.front(), l);
            for (Plane* p : ends) {
                for (int m = count; m < h; ++m) rows.copy(*p, m - count, *p, m);
                for (int m = h - count; m < h; ++m) rows.clear(*p, m);
            }
        } else {
            for (Plane* p : ends) {
                for (int m = count + h - 1; m >= count; --m) rows.copy(*p, m, *p, m - count);
                // Above the roof's top there is nothing to bring down.
                for (int m = count - 1; m >= 0; --m) {
                    if (j - count + m >= 0)
                        rows.copy(*p, m, r, j - count + m);
                    else
                        rows.clear(*p, m);
                }
            }
            for (int q = j - 1; q >= k; --q) rows.copy(r, q, r, q - count);
        }
    }
    const auto height = static_cast<std::uint16_t>(up ? h - count : h + count);
    (zoom2 ? rec.Zoom2HeightF : rec.HeightF) = height;
    return roof;
}

}  // namespace rvk
