#include "records/draw_tools.h"

#include <algorithm>
#include <cstdlib>

namespace rvk {

namespace {

bool Inside(PlaneRef plane, int x, int y) {
    return x >= 0 && y >= 0 && x < plane.width && y < plane.height;
}

}  // namespace

ToolAction ChooseTool(PanelTool pressed, bool ctrl, bool alt, bool shift) {
    if (ctrl || pressed == PanelTool::Pick) return ToolAction::Pick;
    if (alt || pressed == PanelTool::Fill)
        return pressed == PanelTool::Fill ? ToolAction::Fill : ToolAction::Replace;
    if (shift || pressed == PanelTool::Select) return ToolAction::Select;
    if (pressed == PanelTool::Line) return ToolAction::Line;
    if (pressed == PanelTool::Rect) return ToolAction::Rect;
    return ToolAction::Pen;
}

std::vector<CellPoint> LinePoints(CellPoint a, CellPoint b) {
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int n = std::max(std::abs(dx), std::abs(dy));
    std::vector<CellPoint> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    // floor(d * i / n + 1/2) in integers: in floating point d * (i / n) may land just
    // below an exact half and round the wrong way.
    const auto step = [n](int d, int i) {
        if (n == 0) return 0;
        const int num = 2 * d * i + n;
        const int den = 2 * n;
        return num >= 0 ? num / den : -((-num + den - 1) / den);
    };
    for (int i = 0; i <= n; ++i) points.push_back({a.x + step(dx, i), a.y + step(dy, i)});
    return points;
}

void DrawLine(PlaneRef plane, CellPoint a, CellPoint b, PixelValue value) {
    for (const CellPoint p : LinePoints(a, b))
        if (Inside(plane, p.x, p.y)) plane.plane->set(p.x, p.y, value);
}

void FillRect(PlaneRef plane, CellPoint a, CellPoint b, PixelValue value) {
    const int x1 = std::max(std::min(a.x, b.x), 0);
    const int y1 = std::max(std::min(a.y, b.y), 0);
    const int x2 = std::min(std::max(a.x, b.x), plane.width - 1);
    const int y2 = std::min(std::max(a.y, b.y), plane.height - 1);
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) plane.plane->set(x, y, value);
}

void ReplaceColor(PlaneRef plane, CellRect bounds, PixelValue from, PixelValue to) {
    if (from == to) return;
    const int x1 = std::max(bounds.x1, 0);
    const int y1 = std::max(bounds.y1, 0);
    const int x2 = std::min(bounds.x2, plane.width - 1);
    const int y2 = std::min(bounds.y2, plane.height - 1);
    if (x1 > x2 || y1 > y2) return;
    // An untouched plane is all transparent: only replacing transparency changes it.
    if (!plane.plane->allocated() && from != kTransparent) return;
    PixelValue* words = plane.plane->mutableData();
    for (int y = y1; y <= y2; ++y) {
        PixelValue* row = words + y * plane.width;
        for (int x = x1; x <= x2; ++x)
            if (row[x] == from) row[x] = to;
    }
}

std::optional<CellRect> SelectionBounds(CellPoint a, CellPoint b, int planeWidth, int planeHeight) {
    CellRect r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    r.x2 = std::min(r.x2, planeWidth - 1);
    r.y2 = std::min(r.y2, planeHeight - 1);
    if (r.x1 > r.x2 || r.y1 > r.y2 || r.x1 < 0 || r.y1 < 0) return std::nullopt;
    return r;
}

}  // namespace rvk
