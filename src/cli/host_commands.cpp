// The host installation commands: list a category's sets, dump them as JSON, and
// export one vehicle as the import dialog's Insert copies it.
#include <algorithm>
#include <charconv>
#include <cstdio>

#include "cli/commands.h"
#include "cli/doc_json.h"
#include "formats/codepage.h"
#include "host/host_catalogue.h"
#include "host/host_install.h"
#include "storage/file_io.h"

namespace rvk::tool {

namespace {

// Every category bit: the sets of all categories.
constexpr std::uint32_t kAllCategories = 0xFFFFFFFFu;

std::uint32_t ParseFilter(const std::string& text) {
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) digits.remove_prefix(2);
    std::uint32_t filter = 0;
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), filter, 16);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() || filter == 0)
        FailUsage("option --filter takes a non-zero hexadecimal category mask, not '" + text + "'");
    return filter;
}

struct HostSession {
    std::string installation;
    HostTextTable texts;
    std::vector<HostSet> sets;
};

void Warn(const Message& message) {
    std::fprintf(stderr, "rvktool: warning: %s: cannot be opened\n", message.arg.c_str());
}

// Reads the installation's texts and the sets of the filter as the import dialog does
// (sets sorted ignoring case). A folder that is no installation and a catalogue that
// cannot be opened are faults; missing texts or Zoom2 archive are warnings, as the
// dialog goes on without them.
HostSession OpenHost(std::string folder, std::uint32_t filter, const std::string& textFile) {
    if (folder.empty() || (folder.back() != '/' && folder.back() != kPathSeparator))
        folder.push_back(kPathSeparator);
    if (!IsInstallation(folder))
        FailInput(folder, "is not a host installation (vuvi.fzg and vuvi.ini are needed)");
    HostSession session{folder, {}, {}};
    HostTexts texts = LoadHostTexts(folder, textFile);
    if (texts.message) Warn(*texts.message);
    session.texts = std::move(texts.table);
    Catalogue catalogue = LoadCatalogue(folder, filter, session.texts, HostNameLessIgnoringCase);
    for (const Message& m : catalogue.messages) {
        if (m.arg == HostFilePath(folder, kHostCatalogueFile)) FailInput(m.arg, "cannot be opened");
        Warn(m);
    }
    session.sets = std::move(catalogue.sets);
    return session;
}

void WriteOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        FailInput("standard output", "cannot be written");
}

int RunHostList(const std::vector<std::string>& args) {
    const Arguments a(args, {"--filter"}, {});
    if (HelpShown(a, kHostListCommand)) return kExitOk;
    const std::string folder = a.expectPositional(1, "one installation folder")[0];
    const auto filterText = a.value("--filter");
    const HostSession host =
        OpenHost(folder, filterText ? ParseFilter(*filterText) : kAllCategories,
                 std::string(kDefaultHostTextFile));
    std::string out;
    for (const HostSet& set : host.sets) {
        std::size_t zoom2 = 0;
        for (const HostVehicle& v : set.vehicles) zoom2 += v.data.Zoom2Exists ? 1 : 0;
        char line[96];
        std::snprintf(line, sizeof line, "%05u  %zu vehicles, %zu with Zoom2  ", set.number,
                      set.vehicles.size(), zoom2);
        out += line + Cp1252ToUtf8(set.name) + "\n";
    }
    WriteOut(out);
    return kExitOk;
}

int RunHostDump(const std::vector<std::string>& args) {
    const Arguments a(args, {"--filter", "--texts"}, {});
    if (HelpShown(a, kHostDumpCommand)) return kExitOk;
    const std::string folder = a.expectPositional(1, "one installation folder")[0];
    const auto filterText = a.value("--filter");
    if (!filterText) FailUsage("option --filter is required");
    const HostSession host =
        OpenHost(folder, ParseFilter(*filterText),
                 a.value("--texts").value_or(std::string(kDefaultHostTextFile)));
    nlohmann::ordered_json sets = nlohmann::ordered_json::array();
    for (const HostSet& set : host.sets) {
        nlohmann::ordered_json vehicles = nlohmann::ordered_json::array();
        for (const HostVehicle& v : set.vehicles) {
            nlohmann::ordered_json j = VehicleToJson(HostVehicleRecord(v));
            j["position"] = v.position;
            vehicles.push_back(std::move(j));
        }
        sets.push_back({{"number", set.number},
                        {"name", Cp1252ToUtf8(set.name)},
                        {"vehicles", std::move(vehicles)}});
    }
    const nlohmann::ordered_json dump = {{"format", "rvk-host-json-1"}, {"sets", std::move(sets)}};
    WriteOut(dump.dump(2) + "\n");
    return kExitOk;
}

int RunHostExport(const std::vector<std::string>& args) {
    const Arguments a(args, {"--set", "--vehicle", "--texts"}, {"--alternative"});
    if (HelpShown(a, kHostExportCommand)) return kExitOk;
    const auto& positional = a.expectPositional(2, "an installation folder and an output file");
    const int number = a.integer("--set", kFirstHostSet, 0xFFFF, std::nullopt);
    const int index = a.integer("--vehicle", 0, 0xFFFF, std::nullopt);
    const HostSession host =
        OpenHost(positional[0], kAllCategories,
                 a.value("--texts").value_or(std::string(kDefaultHostTextFile)));
    const auto set = std::find_if(host.sets.begin(), host.sets.end(),
                                  [&](const HostSet& s) { return s.number == number; });
    if (set == host.sets.end())
        FailInput(host.installation, "lists no set " + std::to_string(number));
    if (static_cast<std::size_t>(index) >= set->vehicles.size())
        FailInput(host.installation, "set " + std::to_string(number) + " has " +
                                         std::to_string(set->vehicles.size()) +
                                         " vehicles, no vehicle " + std::to_string(index));
    const HostVehicle& vehicle = set->vehicles[static_cast<std::size_t>(index)];
    // As the dialog: the alternative choice exists only when its file does.
    std::string alternative;
    if (a.flag("--alternative")) {
        alternative = AlternativeZoom2Path(host.installation, set->number, vehicle.position);
        if (!FileExists(alternative)) FailInput(alternative, "no such file");
    }
    FileDoc doc;
    // The fleet is named after the set, without the list's alignment spaces.
    const std::size_t first = set->name.find_first_not_of(' ');
    doc.fleets.push_back(CreateFleet(first == std::string::npos ? "" : set->name.substr(first)));
    doc.fleets[0]->vehicles.push_back(
        std::make_unique<VehicleRec>(InsertCopy(vehicle, alternative)));
    WriteNewDocument(doc, positional[1]);
    return kExitOk;
}

}  // namespace

const Subcommand kHostListCommand{
    "host-list", "the vehicle sets of a host installation",
    "usage: rvktool host-list DIR [--filter HEX]\n"
    "Lists the vehicle sets of the host installation in DIR as the import dialog does:\n"
    "number, vehicle count, how many have Zoom2 graphics, and name, sorted by name.\n"
    "--filter HEX  only the sets of these category bits (e.g. 1 for \"tram, DE\",\n"
    "              10000 for \"trolley bus\"); all categories without it.\n"
    "Names come from DIR/vuvi.lnv.\n",
    RunHostList};

const Subcommand kHostDumpCommand{
    "host-dump", "a category of a host installation as JSON",
    "usage: rvktool host-dump DIR --filter HEX [--texts FILE]\n"
    "Writes the sets of the category (hexadecimal bits, as host-list) as JSON, format\n"
    "\"rvk-host-json-1\": {\"format\", \"sets\": [{\"number\", \"name\", \"vehicles\"}]} in\n"
    "the import dialog's order, each vehicle as 'rvktool dump' writes one plus its\n"
    "\"position\" byte, with the Zoom2 graphics of the archive vuvi.fz2.\n"
    "--texts FILE  the host text file in DIR (default vuvi.lnv).\n",
    RunHostDump};

const Subcommand kHostExportCommand{
    "host-export", "one vehicle of a host installation as a document",
    "usage: rvktool host-export DIR --set N --vehicle K [--alternative] [--texts FILE] OUT.rvk\n"
    "Writes OUT.rvk (and its Zoom2 companion file) with one fleet holding vehicle K\n"
    "(0-based) of set number N, as the import dialog's Insert copies it.\n"
    "--alternative  take the Zoom2 graphics from DIR/zoom2/NNNNN-PP.fzz instead of\n"
    "               the archive (kept from the archive when that file is refused).\n"
    "--texts FILE   the host text file in DIR (default vuvi.lnv).\n",
    RunHostExport};

}  // namespace rvk::tool
