
#include "cli/commands.h"
#include "cli/doc_json.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"

namespace rvk::tool {

namespace {

nlohmann::json ReadJson(const std::string& path) {
    if (!FileExists(path)) FailInput(path, "no such file");
    const auto bytes = ReadFileBytes(path);
    if (!bytes) FailInput(path, "cannot be read");
    try {
        return nlohmann::json::parse(bytes->begin(), bytes->end());
    } catch (const nlohmann::json::parse_error& e) {
        // The library's text starts with its own tag in brackets.
        std::string what = e.what();
        if (const auto end = what.find("] ");
            what.rfind("[json.", 0) == 0 && end != std::string::npos)
            what.erase(0, end + 2);
        FailInput(path, "not valid JSON: " + what);
    }
}

int RunBuild(const std::vector<std::string>& args) {
    const Arguments a(args, {}, {});
    if (HelpShown(a, kBuildCommand)) return kExitOk;
    const auto& paths = a.expectPositional(2, "the JSON file and the document to write");
    const std::string& jsonPath = paths[0];
    FileDoc doc;
    try {
        DocumentFromJson(ReadJson(jsonPath), doc);
    } catch (const JsonFault& fault) {
        FailInput(jsonPath, fault.where + ": " + fault.what);
    }
    WriteNewDocument(doc, paths[1]);
    return kExitOk;
}

}  // namespace

const Subcommand kBuildCommand{
    "build", "a document and its Zoom2 companion files from JSON",
    "usage: rvktool build DOC.json OUT.rvk\n"
    "Writes the document described by DOC.json (format \"rvk-json-1\", as 'rvktool\n"
    "dump' prints it) to OUT.rvk, and the Zoom2 graphics of every vehicle that has\n"
    "them to the companion files OUT-II-JJ.fzz beside it, exactly as the editor saves.\n"
    "Companion files of an earlier OUT.rvk that no vehicle needs any more are removed.\n"
    "Nothing is written when the JSON does not describe a document exactly.\n",
    RunBuild};

}  // namespace rvk::tool
