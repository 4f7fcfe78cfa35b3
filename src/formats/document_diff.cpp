#include "formats/document_diff.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <tuple>

#include "formats/codepage.h"
#include "records/render.h"
#include "records/vehicle_picture.h"
#include "records/view_layout.h"

namespace rvk {

namespace {

constexpr RgbColor kChangeMark = MakeRgb(0xFF, 0x00, 0x00);
// Screen pixels per cell in the picture: the same apparent size at both scales, with
// room inside the red frame for the pixel's own colour.
constexpr int kNormalZoom = 4;
constexpr int kZoom2Zoom = 3;

bool ShowsView(const VehicleRec& rec, int view, bool zoom2) {
    return view < rec.viewCount() && (!zoom2 || rec.Zoom2Exists);
}

// One view at one scale of both sides in the frame of the larger.
class ViewPair {
public:
    ViewPair(const VehicleRec& a, const VehicleRec& b, int view, bool zoom2)
        : view_(view), zoom2_(zoom2), sides_{Side(a), Side(b)} {
        width_ = std::max(sides_[0].width, sides_[1].width);
        height_ = std::max(sides_[0].height, sides_[1].height);
    }

    int width() const { return width_; }
    int height() const { return height_; }
    // Where side s's visible row 0 lies in the frame.
    int top(int s) const { return IsSideView(view_) ? height_ - sides_[s].height : 0; }

    PixelValue shown(int s, int x, int y) const {
        const SideView& side = sides_[s];
        const int row = y - top(s);
        if (x >= side.width || row < 0 || row >= side.height) return kTransparent;
        return side.plane.plane->at(x, row + side.rowOffset);
    }
    bool differs(int x, int y) const { return shown(0, x, y) != shown(1, x, y); }

    // Side s's visible cells drawn with cell (0, 0) of the frame at the canvas origin.
    void paint(int s, Canvas& canvas, int zoom) const {
        const SideView& side = sides_[s];
        if (side.width <= 0 || side.height <= 0) return;
        PaintViewCells(canvas, 0, top(s) * zoom, side.plane.plane->data(), side.plane.width,
                       side.rowOffset, side.width, side.height, zoom, 0);
    }

private:
    struct SideView {
        ConstPlaneRef plane;
        int rowOffset = 0;
        int width = 0;
        int height = 0;
    };
    SideView Side(const VehicleRec& rec) const {
        if (!ShowsView(rec, view_, zoom2_)) return {};
        const ViewSize size = ViewGeometry(&rec, view_, zoom2_);
        return {PlaneOf(&rec, view_, zoom2_), RowOffset(rec, view_, zoom2_), size.width,
                size.height};
    }

    int view_;
    bool zoom2_;
    SideView sides_[2];
    int width_ = 0;
    int height_ = 0;
};

std::vector<ViewChange> CompareViews(const VehicleRec& a, const VehicleRec& b) {
    std::vector<ViewChange> changes;
    for (const bool zoom2 : {false, true}) {
        // Zoom2 graphics on one side only are one change of their own, not a view's.
        if (zoom2 && !(a.Zoom2Exists && b.Zoom2Exists)) continue;
        for (int v = 0; v < kViewCount; ++v) {
            const ViewPair pair(a, b, v, zoom2);
            ViewChange change{v, zoom2, 0, {pair.width(), pair.height(), -1, -1}};
            for (int y = 0; y < pair.height(); ++y)
                for (int x = 0; x < pair.width(); ++x) {
                    if (!pair.differs(x, y)) continue;
                    ++change.pixels;
                    change.box = {std::min(change.box.x1, x), std::min(change.box.y1, y),
                                  std::max(change.box.x2, x), std::max(change.box.y2, y)};
                }
            if (change.pixels > 0) changes.push_back(change);
        }
    }
    return changes;
}

std::string Quoted(std::string_view cp1252) {
    std::string out = "\"";
    for (const char c : Cp1252ToUtf8(cp1252)) {
        if (c == '"' || c == '\\') {
            out += '\\', out += c;
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string SteamText(const VehicleRec& rec) {
    if (rec.SteamCount == 0) return "none";
    std::string out;
    for (int i = 0; i < rec.SteamCount; ++i)
        out += (i ? " (" : "(") + std::to_string(rec.Steam[3 * i]) + "," +
               std::to_string(rec.Steam[3 * i + 1]) + "," + std::to_string(rec.Steam[3 * i + 2]) +
               ")";
    return out;
}

std::string PropsText(std::uint32_t props) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(props));
    return text;
}

class FieldList {
public:
    void add(std::string field, std::string a, std::string b) {
        if (a != b) changes.push_back({std::move(field), std::move(a), std::move(b)});
    }
    void add(std::string field, int a, int b) {
        add(std::move(field), std::to_string(a), std::to_string(b));
    }
    std::vector<FieldChange> changes;
};

std::vector<FieldChange> CompareFields(const VehicleRec& a, const VehicleRec& b) {
    FieldList f;
    f.add("length", a.Length, b.Length);
    f.add("side height", a.HeightS, b.HeightS);
    f.add("width", a.Width, b.Width);
    f.add("end height", a.HeightF, b.HeightF);
    f.add("properties", PropsText(a.Props), PropsText(b.Props));
    f.add("steam", SteamText(a), SteamText(b));
    for (std::size_t i = 0; i < a.Info.size(); ++i)
        f.add("info " + std::to_string(i), Quoted(a.Info[i]), Quoted(b.Info[i]));
    f.add("zoom2", a.Zoom2Exists ? "yes" : "no", b.Zoom2Exists ? "yes" : "no");
    if (a.Zoom2Exists && b.Zoom2Exists) {
        f.add("zoom2 side height", a.Zoom2HeightS, b.Zoom2HeightS);
        f.add("zoom2 width", a.Zoom2Width, b.Zoom2Width);
        f.add("zoom2 end height", a.Zoom2HeightF, b.Zoom2HeightF);
        f.add("zoom2 info", Quoted(a.Zoom2Info), Quoted(b.Zoom2Info));
    }
    return std::move(f.changes);
}

// Equal graphics as the views show them, with equal sizes: what a moved vehicle keeps.
bool SameGraphics(const VehicleRec& a, const VehicleRec& b) {
    const auto sizes = [](const VehicleRec& r) {
        return std::tuple{r.Length,
                          r.HeightS,
                          r.Width,
                          r.HeightF,
                          r.viewCount(),
                          r.Zoom2Exists,
                          r.Zoom2HeightS * r.Zoom2Exists,
                          r.Zoom2Width * r.Zoom2Exists,
                          r.Zoom2HeightF * r.Zoom2Exists};
    };
    return sizes(a) == sizes(b) && CompareViews(a, b).empty();
}

// A digest of what SameGraphics compares, so that only likely pairs are compared.
std::uint64_t GraphicsDigest(const VehicleRec& rec) {
    std::uint64_t h = 14695981039346656037ull;
    const auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (const int v : {int{rec.Length}, int{rec.HeightS}, int{rec.Width}, int{rec.HeightF},
                        rec.viewCount(), int{rec.Zoom2Exists}})
        mix(static_cast<std::uint64_t>(v));
    for (const bool zoom2 : {false, true})
        for (int v = 0; v < kViewCount && (!zoom2 || rec.Zoom2Exists); ++v) {
            const ViewPair view(rec, rec, v, zoom2);
            mix(static_cast<std::uint64_t>(view.width()) << 16 | view.height());
            for (int y = 0; y < view.height(); ++y)
                for (int x = 0; x < view.width(); ++x) mix(view.shown(0, x, y));
        }
    return h;
}

std::vector<VehiclePlace> Places(const DocumentRec& doc) {
    std::vector<VehiclePlace> places;
    for (std::size_t i = 0; i < doc.fleets.size(); ++i)
        for (std::size_t j = 0; j < doc.fleets[i]->vehicles.size(); ++j)
            places.push_back({static_cast<int>(i), static_cast<int>(j)});
    return places;
}

}  // namespace

const VehicleRec* VehicleAt(const DocumentRec& doc, VehiclePlace place) {
    if (place.fleet < 0 || place.fleet >= static_cast<int>(doc.fleets.size())) return nullptr;
    const auto& vehicles = doc.fleets[place.fleet]->vehicles;
    if (place.vehicle < 0 || place.vehicle >= static_cast<int>(vehicles.size())) return nullptr;
    return vehicles[place.vehicle].get();
}

bool DocumentDiff::empty() const {
    return document.empty() && std::none_of(vehicles.begin(), vehicles.end(),
                                            [](const VehicleDiff& v) { return v.changed(); });
}

DocumentDiff CompareDocuments(const DocumentRec& a, const DocumentRec& b) {
    DocumentDiff diff;
    FieldList doc;
    doc.add("info", Quoted(a.info), Quoted(b.info));
    for (std::size_t i = 0; i < std::max(a.fleets.size(), b.fleets.size()); ++i) {
        const auto name = [i](const DocumentRec& d) {
            return i < d.fleets.size() ? Quoted(d.fleets[i]->name) : std::string("none");
        };
        doc.add("fleet " + std::to_string(i), name(a), name(b));
    }
    diff.document = std::move(doc.changes);

    // B's counterpart of each vehicle of A: first the same place when the graphics
    // stayed, then equal graphics anywhere (moved), then the same place (changed).
    const std::vector<VehiclePlace> placesA = Places(a), placesB = Places(b);
    std::map<std::pair<int, int>, std::size_t> indexB;
    for (std::size_t k = 0; k < placesB.size(); ++k)
        indexB[{placesB[k].fleet, placesB[k].vehicle}] = k;
    std::vector<int> partner(placesA.size(), -1);
    std::vector<bool> taken(placesB.size(), false);
    const auto pair = [&](std::size_t i, std::size_t k) {
        partner[i] = static_cast<int>(k);
        taken[k] = true;
    };
    const auto samePlace = [&](std::size_t i) -> int {
        const auto it = indexB.find({placesA[i].fleet, placesA[i].vehicle});
        return it == indexB.end() || taken[it->second] ? -1 : static_cast<int>(it->second);
    };
    for (std::size_t i = 0; i < placesA.size(); ++i)
        if (const int k = samePlace(i);
            k >= 0 && SameGraphics(*VehicleAt(a, placesA[i]), *VehicleAt(b, placesB[k])))
            pair(i, k);
    std::multimap<std::uint64_t, std::size_t> digestsB;
    for (std::size_t k = 0; k < placesB.size(); ++k)
        if (!taken[k]) digestsB.emplace(GraphicsDigest(*VehicleAt(b, placesB[k])), k);
    for (std::size_t i = 0; i < placesA.size(); ++i) {
        if (partner[i] >= 0) continue;
        const VehicleRec& rec = *VehicleAt(a, placesA[i]);
        const auto [first, last] = digestsB.equal_range(GraphicsDigest(rec));
        for (auto it = first; it != last; ++it)
            if (!taken[it->second] && SameGraphics(rec, *VehicleAt(b, placesB[it->second]))) {
                pair(i, it->second);
                break;
            }
    }
    for (std::size_t i = 0; i < placesA.size(); ++i)
        if (const int k = samePlace(i); partner[i] < 0 && k >= 0) pair(i, k);

    for (std::size_t i = 0; i < placesA.size(); ++i) {
        VehicleDiff v{placesA[i], {}, {}, {}};
        if (partner[i] >= 0) {
            v.b = placesB[partner[i]];
            const VehicleRec& ra = *VehicleAt(a, v.a);
            const VehicleRec& rb = *VehicleAt(b, v.b);
            v.fields = CompareFields(ra, rb);
            v.views = CompareViews(ra, rb);
        }
        diff.vehicles.push_back(std::move(v));
    }
    for (std::size_t k = 0; k < placesB.size(); ++k)
        if (!taken[k]) diff.vehicles.push_back({{}, placesB[k], {}, {}});
    return diff;
}

RgbaImage DrawDifferences(const DocumentRec& a, const DocumentRec& b, const DocumentDiff& diff,
                          int maxHeight, int& drawn) {
    struct Row {
        ViewPair pair;
        const ViewChange* change;
        int zoom;
        int y;
    };
    std::vector<Row> rows;
    int width = 0, height = kLayoutTop;
    bool full = false;
    for (const VehicleDiff& v : diff.vehicles) {
        if (v.views.empty() || full) continue;
        const VehicleRec& ra = *VehicleAt(a, v.a);
        const VehicleRec& rb = *VehicleAt(b, v.b);
        for (const ViewChange& change : v.views) {
            const int zoom = change.zoom2 ? kZoom2Zoom : kNormalZoom;
            Row row{ViewPair(ra, rb, change.view, change.zoom2), &change, zoom, height};
            const int panelW = row.pair.width() * zoom + 2 * kPanelInset;
            const int panelH = row.pair.height() * zoom + 2 * kPanelInset;
            if (row.y + panelH + kLayoutTop > maxHeight) {
                full = true;
                break;
            }
            width = std::max(width, 2 * kLayoutLeft + 2 * panelW + kPanelGap);
            height += panelH + kPanelGap;
            rows.push_back(row);
        }
    }
    drawn = static_cast<int>(rows.size());
    if (rows.empty()) return {};
    height += kLayoutTop - kPanelGap;

    std::vector<std::uint32_t> bits(static_cast<std::size_t>(width) * height, 0);
    Canvas canvas{bits.data(), width, height, width};
    canvas.color = ScreenWord(kScrollAreaColor);
    FillRect(canvas, 0, 0, width, height);
    for (const Row& row : rows) {
        const int cellsW = row.pair.width() * row.zoom, cellsH = row.pair.height() * row.zoom;
        for (int s = 0; s < 2; ++s) {
            const int x = kLayoutLeft + s * (cellsW + 2 * kPanelInset + kPanelGap);
            canvas.color = ScreenWord(kPanelFrameColor);
            FillRect(canvas, x, row.y, x + cellsW + 2 * kPanelInset,
                     row.y + cellsH + 2 * kPanelInset);
            canvas.color = ScreenWord(kScrollAreaColor);
            FillRect(canvas, x + kPanelFrame, row.y + kPanelFrame,
                     x + cellsW + 2 * kPanelInset - kPanelFrame,
                     row.y + cellsH + 2 * kPanelInset - kPanelFrame);
            Canvas view = SubCanvas(canvas, x + kPanelInset, row.y + kPanelInset, cellsW, cellsH);
            row.pair.paint(s, view, row.zoom);
            view.color = ScreenWord(kChangeMark);
            const CellRect& box = row.change->box;
            for (int cy = box.y1; cy <= box.y2; ++cy)
                for (int cx = box.x1; cx <= box.x2; ++cx) {
                    if (!row.pair.differs(cx, cy)) continue;
                    const int l = cx * row.zoom, t = cy * row.zoom;
                    const int r = l + row.zoom, btm = t + row.zoom;
                    FillRect(view, l, t, r, t + 1);
                    FillRect(view, l, btm - 1, r, btm);
                    FillRect(view, l, t, l + 1, btm);
                    FillRect(view, r - 1, t, r, btm);
                }
        }
    }
    return CanvasPicture(canvas);
}

}  // namespace rvk
