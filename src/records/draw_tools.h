// What the drawing tools do to a plane, independent of any window: the tool a mouse
// event selects, the points of a line, the filled rectangle, the colour replace and
// the selection rectangle. Coordinates are plane coordinates.
#pragma once

#include <optional>
#include <vector>

#include "records/vehicle.h"

namespace rvk {

struct CellPoint {
    int x = -1;
    int y = -1;
    bool isSet() const { return x != -1 && y != -1; }
    bool operator==(const CellPoint&) const = default;
};

// Inclusive on all four sides.
struct CellRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool operator==(const CellRect&) const = default;
};

// The six tools of the tool bar.
enum class PanelTool { Pen, Line, Rect, Fill, Select, Pick };
// What one mouse event does.
enum class ToolAction { Pen, Line, Rect, Fill, Replace, Select, Pick };

// Ctrl picks, Alt fills (fill tool) or replaces, Shift selects, whatever is pressed.
ToolAction ChooseTool(PanelTool pressed, bool ctrl, bool alt, bool shift);

// Every point from a to b, both ends included, each coordinate rounded half up.
std::vector<CellPoint> LinePoints(CellPoint a, CellPoint b);
// Sets the line's points that lie inside the plane.
void DrawLine(PlaneRef plane, CellPoint a, CellPoint b, PixelValue value);
// Fills every pixel between the two corners, limited to the plane.
void FillRect(PlaneRef plane, CellPoint a, CellPoint b, PixelValue value);
// Every pixel inside bounds equal to from (type byte included) becomes to.
void ReplaceColor(PlaneRef plane, CellRect bounds, PixelValue from, PixelValue to);

// The rectangle between two selection corners, its far sides limited to the plane.
// Nothing when the rectangle lies wholly outside the plane (corners taken over from
// a window that shows the other scale).
std::optional<CellRect> SelectionBounds(CellPoint a, CellPoint b, int planeWidth, int planeHeight);

}  // namespace rvk
