#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "host/ufg_import.h"
#include "storage/file_io.h"

namespace rvk::tool {

namespace {

int RunImportUfg(const std::vector<std::string>& args) {
    const Arguments a(args, {}, {});
    if (HelpShown(a, kImportUfgCommand)) return kExitOk;
    const auto& paths = a.expectPositional(2, "the graphics file and the document to write");
    const std::string& ufg = paths[0];
    UfgImport result = ImportUfgPair(ufg);
    const std::string& uzz = result.companionPath;
    switch (result.status) {
        case UfgStatus::kOk:
            break;
        case UfgStatus::kCompanionMissing:
            FailInput(uzz, "no such file (the companion file of " + ufg + ")");
        case UfgStatus::kGraphicsUnreadable:
            FailInput(ufg, FileExists(ufg) ? "cannot be read" : "no such file");
        case UfgStatus::kGraphicsDamaged:
            FailInput(ufg, "is damaged or is not a vehicle graphics file of the old format");
        case UfgStatus::kGraphicsTooLarge:
            FailInput(ufg, "holds more vehicles than fit in " +
                               std::to_string(kUfgMaxMemory >> 20) + " MB of memory");
        case UfgStatus::kCompanionUnreadable:
            FailInput(uzz, "cannot be read");
        case UfgStatus::kCompanionDamaged:
            FailInput(uzz, "is damaged");
    }
    if (result.countsDiffer)
        std::fprintf(stderr,
                     "rvktool import-ufg: warning: %s and %s hold different numbers of fleets; "
                     "the fleets missing from %s are named ???\n",
                     ufg.c_str(), uzz.c_str(), uzz.c_str());
    FileDoc doc;
    doc.info = std::move(result.content->info);
    doc.fleets = std::move(result.content->fleets);
    WriteNewDocument(doc, paths[1]);
    return kExitOk;
}

}  // namespace

const Subcommand kImportUfgCommand{
    "import-ufg", "a pair of old-format vehicle files (.ufg + .uzz) as a new document",
    "usage: rvktool import-ufg IN.ufg OUT.rvk\n"
    "Reads the graphics file IN.ufg and its companion IN.uzz beside it (fleet names,\n"
    "properties, info strings) and writes all their fleets and vehicles to OUT.rvk,\n"
    "as the editor's File > Import followed by Save As would. When the two files hold\n"
    "different numbers of fleets, a warning goes to stderr and the fleets the\n"
    "companion does not describe are named ???. A damaged file writes nothing.\n",
    RunImportUfg};

}  // namespace rvk::tool
