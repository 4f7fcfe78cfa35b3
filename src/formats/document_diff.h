// What differs between two versions of a document: its info text, fleet names and,
// per vehicle, sizes, properties, steam points, strings, Zoom2 graphics and the pixels
// of every view. Vehicles are paired by fleet and place; one whose graphics and sizes
// reappear unchanged at another place counts as moved.
#pragma once

#include <string>
#include <vector>

#include "records/document.h"
#include "records/draw_tools.h"
#include "records/rgba_image.h"

namespace rvk {

// A vehicle's place: fleet and vehicle index.
struct VehiclePlace {
    int fleet = -1;
    int vehicle = -1;
    bool operator==(const VehiclePlace&) const = default;
};

// One value that differs, already as text (strings quoted, in UTF-8).
struct FieldChange {
    std::string field;
    std::string a;
    std::string b;
};

// The pixels one view shows at one scale that differ. Cells are counted in the frame
// of the larger of the two views (side views grow upwards, the others to the right
// and down), where a cell a view does not show counts as transparent; with equal sizes
// that frame is the view's visible area.
struct ViewChange {
    int view = 0;
    bool zoom2 = false;
    int pixels = 0;
    CellRect box;  // the changed cells' bounding box
};

// A vehicle of A and its counterpart in B; a place is unset on the side that lacks it.
struct VehicleDiff {
    VehiclePlace a, b;
    std::vector<FieldChange> fields;  // sizes, properties, steam points, strings, Zoom2
    std::vector<ViewChange> views;
    bool moved() const { return a.fleet >= 0 && b.fleet >= 0 && !(a == b); }
    bool changed() const {
        return a.fleet < 0 || b.fleet < 0 || moved() || !fields.empty() || !views.empty();
    }
};

struct DocumentDiff {
    std::vector<FieldChange> document;  // the info text and fleet names
    // Every vehicle of A in its order, then those only in B in theirs; unchanged ones too.
    std::vector<VehicleDiff> vehicles;
    bool empty() const;
};

DocumentDiff CompareDocuments(const DocumentRec& a, const DocumentRec& b);

// The vehicle at a place; null when the document has none there.
const VehicleRec* VehicleAt(const DocumentRec& doc, VehiclePlace place);

// The changed views of a and b side by side (A left, B right), one row per change in
// the order of `diff`, each changed cell framed in red. Rows stop before the picture
// would grow taller than maxHeight; `drawn` tells how many views made it.
RgbaImage DrawDifferences(const DocumentRec& a, const DocumentRec& b, const DocumentDiff& diff,
                          int maxHeight, int& drawn);

}  // namespace rvk
