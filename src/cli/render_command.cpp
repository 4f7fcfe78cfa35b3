#include <vector>

#include "cli/commands.h"
#include "cli/png_writer.h"
#include "model/file_io.h"
#include "model/render.h"
#include "model/view_layout.h"

namespace rvk::tool {

namespace {

constexpr RgbColor kSteamFrame = MakeRgb(0xFF, 0x00, 0x00);

void Fill(Canvas& canvas, const Rect& r, RgbColor color) {
    canvas.color = ScreenWord(color);
    FillRect(canvas, r.x, r.y, r.right(), r.bottom());
}

// A small solid triangle in the middle of a marker image. Side arrows point to the
// vehicle's front end (left in the left side view, right in the right one); the arrows
// under the end views point up at the view they belong to.
enum class Arrow { Left, Right, Up };
void DrawArrow(Canvas& canvas, const Rect& r, Arrow direction) {
    constexpr int k = 3;  // the triangle is 2k + 1 pixels across its base
    const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    canvas.color = ScreenWord(kPanelFrameColor);
    for (int i = 0; i <= k; ++i) {
        switch (direction) {
            case Arrow::Left:
                FillRect(canvas, cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1);
                break;
            case Arrow::Right:
                FillRect(canvas, cx + 2 - i, cy - i, cx + 3 - i, cy + i + 1);
                break;
            case Arrow::Up:
                FillRect(canvas, cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i);
                break;
        }
    }
}

void DrawPanel(Canvas& canvas, const Rect& r) {
    Fill(canvas, r, kPanelFrameColor);
    Fill(canvas,
         Rect{r.x + kPanelFrame, r.y + kPanelFrame, r.width - 2 * kPanelFrame,
              r.height - 2 * kPanelFrame},
         kPanelColor);
}

struct Picture {
    std::vector<std::uint32_t> bits;
    Canvas canvas;
};

void Draw(const VehicleRec& rec, bool zoom2, int zoom, int layout, NightLevel level, bool steam,
          Picture& picture) {
    const VehicleLayout l = LayoutViews(rec, zoom2, zoom, layout);
    picture.bits.assign(static_cast<std::size_t>(l.extentWidth) * l.extentHeight, 0);
    picture.canvas = Canvas{picture.bits.data(), l.extentWidth, l.extentHeight, l.extentWidth};
    Canvas& canvas = picture.canvas;
    Fill(canvas, Rect{0, 0, l.extentWidth, l.extentHeight}, kScrollAreaColor);
    for (const Rect& panel : l.panels) DrawPanel(canvas, panel);
    Fill(canvas, l.lineS, kPanelFrameColor);
    Fill(canvas, l.lineN, kPanelFrameColor);
    DrawArrow(canvas, l.images[kImgLeft], Arrow::Left);
    DrawArrow(canvas, l.images[kImgRight], Arrow::Right);
    DrawArrow(canvas, l.images[kImgS], Arrow::Up);
    DrawArrow(canvas, l.images[kImg2S], Arrow::Up);
    if (rec.Props & kExtraViews) {
        DrawArrow(canvas, l.images[kImg2N], Arrow::Up);
        DrawArrow(canvas, l.images[kImgN], Arrow::Up);
    }
    for (int v = 0; v < kViewCount; ++v) {
        if (!l.shown[v]) continue;
        const Rect& r = l.views[v];
        Canvas view = SubCanvas(canvas, r.x, r.y, r.width, r.height);
        PaintVehicleView(view, rec, v, zoom2, zoom, level);
        if (!steam || !IsSideView(v)) continue;
        for (int i = 0; i < rec.SteamCount; ++i) {
            const SteamMarker m = SteamMarkerOf(rec, v, zoom2, i);
            DrawSelectionFrame(view, m.x0, m.y0, m.x0, m.y0, zoom, kSteamFrame);
            DrawSelectionFrame(view, m.x0, m.y0, m.x1, m.y1, zoom, kSteamFrame);
        }
    }
}

int RunRender(const std::vector<std::string>& args) {
    const Arguments a(args, {"--fleet", "--vehicle", "--night", "--zoom", "--layout", "-o"},
                      {"--zoom2", "--steam"});
    if (HelpShown(a, kRenderCommand)) return kExitOk;
    const std::string path = a.expectPositional(1, "one document")[0];
    const int fleetIndex = a.integer("--fleet", 0, kMaxFleets - 1, std::nullopt);
    const int vehicleIndex = a.integer("--vehicle", 0, kMaxVehicles - 1, std::nullopt);
    const bool zoom2 = a.flag("--zoom2");
    const int level = a.integer("--night", 0, 3, 0);
    // The same apparent size at both scales unless asked otherwise.
    const int zoom = a.integer("--zoom", 1, 16, zoom2 ? 2 : 4);
    const int layout = a.integer("--layout", 1, 2, 1) - 1;
    const auto out = a.value("-o");
    if (!out) FailUsage("option -o is required");

    const FileDoc doc = OpenDocument(path);
    if (fleetIndex >= static_cast<int>(doc.fleets.size()))
        FailInput(path, "has no fleet " + std::to_string(fleetIndex) + " (it has " +
                            std::to_string(doc.fleets.size()) + ")");
    const FleetRec& fleet = *doc.fleets[fleetIndex];
    if (vehicleIndex >= static_cast<int>(fleet.vehicles.size()))
        FailInput(path, "fleet " + std::to_string(fleetIndex) + " has no vehicle " +
                            std::to_string(vehicleIndex) + " (it has " +
                            std::to_string(fleet.vehicles.size()) + ")");
    const VehicleRec& rec = *fleet.vehicles[vehicleIndex];
    if (zoom2 && !rec.Zoom2Exists)
        FailInput(path, "vehicle " + std::to_string(vehicleIndex) + " of fleet " +
                            std::to_string(fleetIndex) + " has no Zoom2 graphics");

    Picture picture;
    Draw(rec, zoom2, zoom, layout, level, a.flag("--steam"), picture);
    std::string error;
    const auto png = EncodePng(picture.canvas, error);
    if (!png) FailInput(*out, "cannot be encoded as PNG: " + error);
    if (!WriteFileAtomic(*out, *png)) FailInput(*out, "cannot be written");
    return kExitOk;
}

}  // namespace

const Subcommand kRenderCommand{
    "render", "a vehicle's views as the vehicle window shows them, as PNG",
    "usage: rvktool render DOC.rvk --fleet I --vehicle J [--zoom2] [--night N]\n"
    "                      [--zoom Z] [--layout 1|2] [--steam] -o OUT.png\n"
    "Draws vehicle J (from 0) of fleet I (from 0) with its views arranged and\n"
    "magnified as in the vehicle window, and writes the picture to OUT.png.\n"
    "  --zoom2       the Zoom2 (double-scale) graphics instead of the normal ones\n"
    "  --night N     0 daylight (default), 1 night with window group 0 lit,\n"
    "                2 groups 0 and 1, 3 all three groups\n"
    "  --zoom Z      screen pixels per vehicle pixel, 1..16 (default 4, with --zoom2 2)\n"
    "  --layout 1|2  end views below the side views (1, default) or beside them (2)\n"
    "  --steam       frame the steam points in the side views\n",
    RunRender};

}  // namespace rvk::tool
