#include <vector>

#include "cli/commands.h"
#include "formats/png_codec.h"
#include "records/vehicle_picture.h"
#include "storage/file_io.h"

namespace rvk::tool {

namespace {

int RunRender(const std::vector<std::string>& args) {
    const Arguments a(args, {"--fleet", "--vehicle", "--night", "--zoom", "--layout", "-o"},
                      {"--zoom2", "--steam"});
    if (HelpShown(a, kRenderCommand)) return kExitOk;
    const std::string path = a.expectPositional(1, "one document")[0];
    const bool train = !a.value("--vehicle");
    if (train && (a.flag("--zoom2") || a.flag("--steam") || a.value("--layout")))
        FailUsage("--zoom2, --layout and --steam need --vehicle");
    const int fleetIndex = a.integer("--fleet", 0, kMaxFleets - 1, std::nullopt);
    const std::optional<VehicleChoice> choice =
        train ? std::nullopt : std::optional(ParseVehicleChoice(a));
    const bool zoom2 = a.flag("--zoom2");
    const int level = a.integer("--night", 0, 3, 0);
    // The same apparent size at both scales unless asked otherwise.
    const int zoom = a.integer("--zoom", 1, 16, zoom2 ? 2 : 4);
    const int layout = a.integer("--layout", 1, 2, 1) - 1;
    const auto out = a.value("-o");
    if (!out) FailUsage("option -o is required");

    FileDoc doc = OpenDocument(path, false);
    RgbaImage picture;
    if (train) {
        const FleetRec& fleet = ChosenFleet(doc, path, fleetIndex);
        if (fleet.vehicles.empty())
            FailInput(path, "fleet " + std::to_string(fleetIndex) + " has no vehicles");
        picture = DrawTrainPicture(fleet, level, zoom);
    } else {
        picture = DrawVehiclePicture(ChosenVehicle(doc, path, *choice), zoom2, zoom,
                                     layout, level, a.flag("--steam"));
    }
    std::string error;
    const auto png = EncodePng(picture, false, PngChunk{}, error);
    if (!png) FailInput(*out, "cannot be encoded as PNG: " + error);
    WriteOutput(*out, *png);
    return kExitOk;
}

}  // namespace

const Subcommand kRenderCommand{
    "render", "a vehicle's views as the vehicle window shows them, or a fleet as a train, as PNG",
    "usage: rvktool render DOC.rvk --fleet I --vehicle J [--zoom2] [--night N]\n"
    "                      [--zoom Z] [--layout 1|2] [--steam] -o OUT.png\n"
    "       rvktool render DOC.rvk --fleet I [--night N] [--zoom Z] -o OUT.png\n"
    "Draws vehicle J (from 0) of fleet I (from 0) with its views arranged and\n"
    "magnified as in the vehicle window, and writes the picture to OUT.png\n"
    "(to standard output for -o -). Without --vehicle it draws the fleet as a\n"
    "train, as the fleet window's strip shows it: the left side view of each\n"
    "vehicle in list order, left to right, on the sky of the day/night level.\n"
    "  --zoom2       the Zoom2 (double-scale) graphics instead of the normal ones\n"
    "  --night N     0 daylight (default), 1 night with window group 0 lit,\n"
    "                2 groups 0 and 1, 3 all three groups\n"
    "  --zoom Z      screen pixels per vehicle pixel, 1..16 (default 4, with --zoom2 2)\n"
    "  --layout 1|2  end views below the side views (1, default) or beside them (2)\n"
    "  --steam       frame the steam points in the side views\n",
    RunRender};

}  // namespace rvk::tool
