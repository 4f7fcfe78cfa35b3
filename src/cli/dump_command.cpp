#include <cstdio>

#include "cli/commands.h"
#include "cli/doc_json.h"

namespace rvk::tool {

namespace {

int RunDump(const std::vector<std::string>& args) {
    const Arguments a(args, {}, {"--strict"});
    if (HelpShown(a, kDumpCommand)) return kExitOk;
    const FileDoc doc = OpenDocument(a.expectPositional(1, "one document")[0], a.flag("--strict"));
    const std::string text = DocumentToJson(doc).dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);  // a failed write is reported on exit
    return kExitOk;
}

}  // namespace

const Subcommand kDumpCommand{
    "dump", "a document and its Zoom2 graphics as JSON on standard output",
    "usage: rvktool dump [--strict] DOC.rvk\n"
    "Writes the document, with the Zoom2 graphics of its companion files, as JSON\n"
    "(format \"rvk-json-1\") to standard output. Strings are Unicode; every view is\n"
    "its visible area row by row from the top, 8 lower-case hex digits a pixel.\n"
    "'rvktool build' turns the JSON back into the same document.\n"
    "A companion file that cannot be used is a warning on stderr and its vehicle has\n"
    "\"zoom2\": null; --strict makes such a warning fail the command (exit 1).\n",
    RunDump};

}  // namespace rvk::tool
