#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "formats/codepage.h"

namespace rvk::tool {

namespace {

std::string PropNames(std::uint32_t props) {
    static const std::pair<std::uint32_t, const char*> kNames[] = {
        {kSingleEnded, "single ended"},
        {kRev, "rev"},
        {kLwx, "lwx"},
        {kExtraViews, "extra front/rear views"},
        {kPixels32, "32-bit pixels"},
        {kMotorized, "motorized"}};
    std::string out;
    for (const auto& [bit, name] : kNames)
        if (props & bit) out += (out.empty() ? "" : ", ") + std::string(name);
    return out.empty() ? "none" : out;
}

std::string Quoted(const std::string& cp1252) {
    return "\"" + Cp1252ToUtf8(cp1252) + "\"";
}

void PrintVehicle(std::size_t index, const VehicleRec& v) {
    std::printf("  Vehicle %zu %s\n", index, Quoted(v.Info[0]).c_str());
    std::printf("    size: length %d, side height %d, width %d, end height %d\n", v.Length,
                v.HeightS, v.Width, v.HeightF);
    std::printf("    properties: 0x%04x (%s)\n", v.Props, PropNames(v.Props).c_str());
    std::printf("    views: %d, steam points: %d\n", v.viewCount(), v.SteamCount);
    for (int i = 1; i < 5; ++i)
        if (!v.Info[i].empty()) std::printf("    info %d: %s\n", i, Quoted(v.Info[i]).c_str());
    if (v.Zoom2Exists)
        std::printf("    Zoom2: yes (length %d, side height %d, width %d, end height %d) %s\n",
                    2 * v.Length, v.Zoom2HeightS, v.Zoom2Width, v.Zoom2HeightF,
                    Quoted(v.Zoom2Info).c_str());
    else
        std::printf("    Zoom2: no\n");
}

int RunInfo(const std::vector<std::string>& args) {
    const Arguments a(args, {}, {"--strict"});
    if (HelpShown(a, kInfoCommand)) return kExitOk;
    const std::string path = a.expectPositional(1, "one document")[0];
    const FileDoc doc = OpenDocument(path, a.flag("--strict"));
    const std::string firstLine = doc.info.substr(0, doc.info.find_first_of("\r\n"));
    std::printf("Document: %s\n", path.c_str());
    std::printf("Info: %s\n", Cp1252ToUtf8(firstLine).c_str());
    std::printf("Fleets: %zu\n", doc.fleets.size());
    for (std::size_t i = 0; i < doc.fleets.size(); ++i) {
        const FleetRec& fleet = *doc.fleets[i];
        std::printf("Fleet %zu %s: %zu vehicle%s\n", i, Quoted(fleet.name).c_str(),
                    fleet.vehicles.size(), fleet.vehicles.size() == 1 ? "" : "s");
        for (std::size_t j = 0; j < fleet.vehicles.size(); ++j) PrintVehicle(j, *fleet.vehicles[j]);
    }
    return kExitOk;
}

}  // namespace

const Subcommand kInfoCommand{
    "info", "summary of a document: info text, fleets, vehicles, sizes, Zoom2",
    "usage: rvktool info [--strict] DOC.rvk\n"
    "Prints the first line of the document's info text and, for every fleet, the\n"
    "names, sizes, properties, number of views and Zoom2 graphics of its vehicles.\n"
    "A companion file that cannot be used is a warning on stderr and its vehicle is\n"
    "shown without Zoom2 graphics; --strict makes such a warning fail the command.\n",
    RunInfo};

}  // namespace rvk::tool
