// diff: what differs between two documents, as text and optionally as a picture.
#include <cstdio>

#include "cli/commands.h"
#include "formats/document_diff.h"
#include "formats/png_codec.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"

namespace rvk::tool {

namespace {

// Differences are 1 as with other diff programs, so input that cannot be read must not
// be: a diff driver takes 2 and above as trouble.
constexpr int kExitDiffer = 1;
constexpr int kExitDiffTrouble = 3;
// Keeps the picture of a diff of every view of every vehicle within memory.
constexpr int kMaxPictureHeight = 4096;

std::string PlaceText(VehiclePlace place) {
    return std::to_string(place.fleet) + "." + std::to_string(place.vehicle);
}

struct Side {
    FileDoc doc;
    std::vector<UnreadCompanion> unread;
};

Side Open(const std::string& path) {
    Side side;
    try {
        side.doc = OpenDocument(path, false, &side.unread);
    } catch (Failure& failure) {
        if (failure.status == kExitBadInput) failure.status = kExitDiffTrouble;
        throw;
    }
    return side;
}

// "companion A 0.1: why" for each companion file of the side that could not be used.
void PrintUnread(char name, const Side& side, std::string& out) {
    const std::string file = ResolvedPath(side.doc.path);
    for (std::size_t i = 0; i < side.doc.fleets.size(); ++i)
        for (std::size_t j = 0; j < side.doc.fleets[i]->vehicles.size(); ++j)
            for (const UnreadCompanion& u : side.unread)
                if (u.path == Zoom2FileName(file, static_cast<int>(i), static_cast<int>(j)))
                    out += std::string("companion ") + name + " " + std::to_string(i) + "." +
                           std::to_string(j) + ": " + Zoom2Fault(u) + "\n";
}

std::string DiffText(const DocumentDiff& diff) {
    std::string out;
    for (const FieldChange& f : diff.document) out += f.field + ": " + f.a + " -> " + f.b + "\n";
    for (const VehicleDiff& v : diff.vehicles) {
        if (v.b.fleet < 0) {
            out += "vehicle " + PlaceText(v.a) + ": only in A\n";
            continue;
        }
        if (v.a.fleet < 0) {
            out += "vehicle " + PlaceText(v.b) + ": only in B\n";
            continue;
        }
        const std::string subject = "vehicle " + PlaceText(v.a);
        if (v.moved()) out += subject + ": moved to " + PlaceText(v.b) + "\n";
        for (const FieldChange& f : v.fields)
            out += subject + " " + f.field + ": " + f.a + " -> " + f.b + "\n";
        for (const ViewChange& c : v.views) {
            char line[128];
            std::snprintf(line, sizeof line, " %sview %d: %d pixel%s in %d,%d..%d,%d\n",
                          c.zoom2 ? "zoom2 " : "", c.view, c.pixels, c.pixels == 1 ? "" : "s",
                          c.box.x1, c.box.y1, c.box.x2, c.box.y2);
            out += subject + line;
        }
    }
    return out;
}

void WritePicture(const Side& a, const Side& b, const DocumentDiff& diff, const std::string& out) {
    int drawn = 0;
    const RgbaImage picture = DrawDifferences(a.doc, b.doc, diff, kMaxPictureHeight, drawn);
    int changed = 0;
    for (const VehicleDiff& v : diff.vehicles) changed += static_cast<int>(v.views.size());
    if (changed == 0) {
        std::fprintf(stderr, "rvktool diff: no view differs; %s not written\n", out.c_str());
        return;
    }
    if (drawn < changed)
        std::fprintf(stderr, "rvktool diff: %s shows the first %d of %d changed views\n",
                     out.c_str(), drawn, changed);
    std::string error;
    const auto png = EncodePng(picture, false, PngChunk{}, error);
    if (!png) throw Failure{kExitDiffTrouble, out + ": cannot be encoded as PNG: " + error};
    try {
        WriteOutput(out, *png);
    } catch (Failure& failure) {
        failure.status = kExitDiffTrouble;
        throw;
    }
}

int RunDiff(const std::vector<std::string>& args) {
    const Arguments a(args, {"--png"}, {});
    if (HelpShown(a, kDiffCommand)) return kExitOk;
    const auto& paths = a.expectPositional(2, "two documents");
    const auto png = a.value("--png");
    if (png && *png == "-") FailUsage("--png needs a file name");

    const Side sideA = Open(paths[0]);
    const Side sideB = Open(paths[1]);
    const DocumentDiff diff = CompareDocuments(sideA.doc, sideB.doc);
    if (png) WritePicture(sideA, sideB, diff, *png);
    std::string text;
    PrintUnread('A', sideA, text);
    PrintUnread('B', sideB, text);
    text += DiffText(diff);
    std::fwrite(text.data(), 1, text.size(), stdout);  // a failed write is reported on exit
    return text.empty() ? kExitOk : kExitDiffer;
}

}  // namespace

const Subcommand kDiffCommand{
    "diff", "what differs between two documents, as text and as a picture",
    "usage: rvktool diff A.rvk B.rvk [--png OUT.png]\n"
    "Compares two documents with their companion Zoom2 files and prints one line per\n"
    "difference; nothing when they are equal. Vehicles are paired by fleet and place;\n"
    "one whose graphics and sizes reappear unchanged elsewhere counts as moved. A\n"
    "vehicle is named F.V (fleet and vehicle from 0) by its place in A, one only in B\n"
    "by its place in B. Strings are quoted, \\\" \\\\ \\r \\n \\xHH escaped. The lines:\n"
    "  companion A|B F.V: WHY         a companion file that cannot be used; that\n"
    "                                 vehicle has no Zoom2 graphics on that side\n"
    "  info: OLD -> NEW               the document's info text\n"
    "  fleet I: OLD -> NEW            a fleet's name, none where a side lacks it\n"
    "  vehicle F.V: only in A|B\n"
    "  vehicle F.V: moved to G.W\n"
    "  vehicle F.V FIELD: OLD -> NEW  FIELD is length, side height, width, end\n"
    "                                 height, properties, steam, info 0..4, zoom2\n"
    "                                 (yes/no), zoom2 side height, zoom2 width,\n"
    "                                 zoom2 end height, zoom2 info\n"
    "  vehicle F.V [zoom2 ]view N: P pixels in X1,Y1..X2,Y2\n"
    "                                 pixels of view N that differ and their bounding\n"
    "                                 box in the view's visible coordinates (as\n"
    "                                 export-png); when its size changed, in those of\n"
    "                                 the larger, where cells one side does not show\n"
    "                                 count as transparent; Zoom2 views only when\n"
    "                                 both sides have Zoom2 graphics\n"
    "  --png OUT.png  also draw every changed view, A left and B right, one row each\n"
    "                 in the order of the lines, changed pixels framed in red\n"
    "Exit status: 0 equal, 1 different, 2 wrong usage, 3 a document cannot be read\n"
    "or the picture cannot be written (one line on stderr, nothing on stdout).\n",
    RunDiff};

}  // namespace rvk::tool
