// export-png and import-png: one view's pixels to and from PNG files.
#include <charconv>
#include <cstdio>

#include "cli/commands.h"
#include "formats/png_exchange.h"
#include "storage/picture_files.h"

namespace rvk::tool {

namespace {

struct ViewChoice {
    VehicleChoice vehicle;
    int view = 0;
};

ViewChoice ParseViewChoice(const Arguments& a) {
    return {ParseVehicleChoice(a), a.integer("--view", 0, kViewCount - 1, std::nullopt)};
}

// The chosen view's plane and the plane rectangle it shows.
struct ViewArea {
    VehicleRec* rec;
    PlaneRef plane;
    CellRect visible;
};

ViewArea ChosenView(FileDoc& doc, const std::string& path, const ViewChoice& choice) {
    VehicleRec& rec = ChosenVehicle(doc, path, choice.vehicle);
    if (choice.view >= rec.viewCount())
        FailInput(path, "vehicle " + std::to_string(choice.vehicle.vehicle) + " has no view " +
                            std::to_string(choice.view) + " (extra end views are off)");
    const ViewSize size = ViewGeometry(&rec, choice.view, choice.vehicle.zoom2);
    if (size.width <= 0 || size.height <= 0) FailInput(path, "the view shows no pixels");
    const int top = RowOffset(rec, choice.view, choice.vehicle.zoom2);
    return {&rec, PlaneOf(&rec, choice.view, choice.vehicle.zoom2),
            CellRect{0, top, size.width - 1, top + size.height - 1}};
}

int RunExport(const std::vector<std::string>& args) {
    const Arguments a(args, {"--fleet", "--vehicle", "--view", "-o"}, {"--zoom2", "--types"});
    if (HelpShown(a, kExportPngCommand)) return kExitOk;
    const std::string path = a.expectPositional(1, "one document")[0];
    const ViewChoice choice = ParseViewChoice(a);
    const auto out = a.value("-o");
    if (!out) FailUsage("option -o is required");

    FileDoc doc = OpenDocument(path, false);
    const ViewArea area = ChosenView(doc, path, choice);
    const ClipImage image =
        CopyImage({area.plane.plane, area.plane.width, area.plane.height}, area.visible);
    if (*out == "-") {
        if (a.flag("--types")) FailUsage("--types needs a file name after -o");
        std::string reason;
        const auto png = EncodePicturePng(image, reason);
        if (!png) FailInput("-", "cannot be encoded as PNG: " + reason);
        WriteOutput(*out, *png);
        return kExitOk;
    }
    std::string error;
    if (!WritePictureFiles(*out, image, a.flag("--types"), error))
        throw Failure{kExitBadInput, error};
    return kExitOk;
}

// "X,Y" with both whole numbers from 0.
std::pair<int, int> ParsePlace(const std::string& text) {
    int x = -1, y = -1;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, x);
    if (ec == std::errc{} && p != end && *p == ',') {
        auto [q, ec2] = std::from_chars(p + 1, end, y);
        if (ec2 == std::errc{} && q == end && x >= 0 && y >= 0) return {x, y};
    }
    FailUsage("option --at takes X,Y (whole numbers from 0), not '" + text + "'");
}

int RunImport(const std::vector<std::string>& args) {
    const Arguments a(args, {"--fleet", "--vehicle", "--view", "--at"}, {"--zoom2"});
    if (HelpShown(a, kImportPngCommand)) return kExitOk;
    const auto& positional = a.expectPositional(2, "a document and a picture");
    const std::string& path = positional[0];
    const std::string& picturePath = positional[1];
    const ViewChoice choice = ParseViewChoice(a);
    const auto [atX, atY] = ParsePlace(a.value("--at").value_or("0,0"));

    FileDoc doc = OpenDocument(path, false);
    const ViewArea area = ChosenView(doc, path, choice);
    const int visibleWidth = area.visible.x2 + 1;
    const int visibleHeight = area.visible.y2 - area.visible.y1 + 1;
    if (atX >= visibleWidth || atY >= visibleHeight)
        FailUsage("--at " + std::to_string(atX) + "," + std::to_string(atY) +
                  " lies outside the view's " + std::to_string(visibleWidth) + " x " +
                  std::to_string(visibleHeight) + " pixels");
    std::string error;
    const auto read = ReadPictureFiles(picturePath, area.plane.width, area.plane.height, error);
    if (!read) throw Failure{kExitBadInput, error};

    const int x = atX, y = area.visible.y1 + atY;
    PasteImage(area.plane, x, y, read->image);
    if (read->chunkIgnored)
        std::fprintf(stderr, "%s: its pixel values do not match the picture; read as colours\n",
                     picturePath.c_str());
    if (read->unknownTypes > 0)
        std::fprintf(stderr, "%s: %d pixels of no colour type's colour taken as Normal\n",
                     TypesPictureName(picturePath).c_str(), read->unknownTypes);
    const int keptW = std::min(read->image.width, area.plane.width - x);
    const int keptH = std::min(read->image.height, area.plane.height - y);
    if (keptW < read->image.width || keptH < read->image.height)
        std::fprintf(stderr, "%s: %d x %d pixels cut to %d x %d at the plane's edges\n",
                     picturePath.c_str(), read->image.width, read->image.height, keptW, keptH);

    if (choice.vehicle.zoom2) area.rec->Zoom2Modified = true;
    doc.modified = true;
    SaveOrFail(doc);
    return kExitOk;
}

}  // namespace

const Subcommand kExportPngCommand{
    "export-png", "one view's pixels as PNG, exact values kept for import-png",
    "usage: rvktool export-png DOC.rvk --fleet I --vehicle J --view V [--zoom2]\n"
    "                          [--types] -o OUT.png\n"
    "Writes the visible area of view V (0..7) of vehicle J of fleet I (both from 0)\n"
    "at 1:1 as an RGBA picture: transparent pixels with alpha 0, every other pixel in\n"
    "its daylight colour. The exact pixel values with their colour types ride along\n"
    "in a private chunk that image editors drop when they change the picture.\n"
    "  --zoom2   the Zoom2 (double-scale) graphics\n"
    "  --types   also write OUT.types.png: each pixel in the colour of its type\n"
    "With -o - the picture goes to standard output.\n",
    RunExport};

const Subcommand kImportPngCommand{
    "import-png", "a PNG picture into one view, saving the document",
    "usage: rvktool import-png DOC.rvk --fleet I --vehicle J --view V [--zoom2]\n"
    "                          [--at X,Y] IN.png\n"
    "Writes the picture into view V with its top-left pixel at X,Y of the visible\n"
    "area (default 0,0), then saves the document in place with its Zoom2 files.\n"
    "A picture written by export-png brings back its exact pixel values; any other\n"
    "reads alpha below 128 as transparent and the rest as Normal colours. IN.types.png\n"
    "beside it, when present, gives each opaque pixel its colour type. Whatever\n"
    "falls beyond the plane is cut off and reported on stderr.\n"
    "  --zoom2   the Zoom2 (double-scale) graphics\n",
    RunImport};

}  // namespace rvk::tool
