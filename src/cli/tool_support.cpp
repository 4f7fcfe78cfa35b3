#include "cli/tool_support.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "formats/document_codec.h"
#include "storage/companion_files.h"
#include "storage/file_io.h"
#include "storage/save_set.h"

namespace rvk::tool {

void FailInput(const std::string& file, const std::string& fault) {
    throw Failure{kExitBadInput, file + ": " + fault};
}

void FailUsage(const std::string& message) {
    throw Failure{kExitUsage, message};
}

Arguments::Arguments(const std::vector<std::string>& args,
                     const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flags) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help_ = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            positional_.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); eq != std::string::npos)
            name = arg.substr(0, eq), inlineValue = arg.substr(eq + 1);
        if (flags.count(name) && !inlineValue) {
            flags_.insert(name);
        } else if (valueOptions.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) FailUsage("option " + name + " needs a value");
                inlineValue = args[++i];
            }
            if (values_.count(name)) FailUsage("option " + name + " given twice");
            values_[name] = *inlineValue;
        } else {
            FailUsage("unknown option " + arg);
        }
    }
}

const std::vector<std::string>& Arguments::expectPositional(std::size_t count,
                                                            const char* what) const {
    if (positional_.size() != count)
        FailUsage("expected " + std::string(what) + ", got " + std::to_string(positional_.size()) +
                  " argument" + (positional_.size() == 1 ? "" : "s"));
    return positional_;
}

std::optional<std::string> Arguments::value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

int Arguments::integer(const std::string& name, int low, int high,
                       std::optional<int> fallback) const {
    const auto text = value(name);
    if (!text) {
        if (!fallback) FailUsage("option " + name + " is required");
        return *fallback;
    }
    int v = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), v);
    if (ec != std::errc{} || end != text->data() + text->size() || v < low || v > high)
        FailUsage("option " + name + " takes a whole number from " + std::to_string(low) + " to " +
                  std::to_string(high) + ", not '" + *text + "'");
    return v;
}

bool HelpShown(const Arguments& args, const Subcommand& command) {
    if (!args.helpWanted()) return false;
    std::fputs(command.usage, stdout);
    return true;
}

VehicleChoice ParseVehicleChoice(const Arguments& args) {
    return {args.integer("--fleet", 0, kMaxFleets - 1, std::nullopt),
            args.integer("--vehicle", 0, kMaxVehicles - 1, std::nullopt), args.flag("--zoom2")};
}

FleetRec& ChosenFleet(FileDoc& doc, const std::string& path, int fleet) {
    if (fleet >= static_cast<int>(doc.fleets.size()))
        FailInput(path, "has no fleet " + std::to_string(fleet) + " (it has " +
                            std::to_string(doc.fleets.size()) + ")");
    return *doc.fleets[fleet];
}

VehicleRec& ChosenVehicle(FileDoc& doc, const std::string& path, const VehicleChoice& choice) {
    FleetRec& fleet = ChosenFleet(doc, path, choice.fleet);
    if (choice.vehicle >= static_cast<int>(fleet.vehicles.size()))
        FailInput(path, "fleet " + std::to_string(choice.fleet) + " has no vehicle " +
                            std::to_string(choice.vehicle) + " (it has " +
                            std::to_string(fleet.vehicles.size()) + ")");
    VehicleRec& rec = *fleet.vehicles[choice.vehicle];
    if (choice.zoom2 && !rec.Zoom2Exists)
        FailInput(path, "vehicle " + std::to_string(choice.vehicle) + " of fleet " +
                            std::to_string(choice.fleet) + " has no Zoom2 graphics");
    return rec;
}

std::string Zoom2Fault(const UnreadCompanion& unread) {
    switch (unread.code) {
        case kZoom2CannotOpen:
            return "cannot be read (" + unread.error.message() + ")";
        case kZoom2WrongLength:
            return "belongs to a vehicle of another length";
        default:
            return "is not a Zoom2 graphics file or is damaged";
    }
}

namespace {

// A damaged save journal was set aside: the document is read as it was before it.
void WarnSetAside(const std::string& path, const std::string& setAside) {
    if (!setAside.empty())
        std::fprintf(stderr,
                     "rvktool: warning: %s: its save journal was damaged and is set aside as %s\n",
                     path.c_str(), setAside.c_str());
}

void Saved(const SaveResult& saved, const std::string& path) {
    if (saved.notice) WarnSetAside(path, saved.notice->reason->words);
    if (saved.error && saved.error->busy)
        FailInput(path, "is being saved by another program; try again in a moment");
    if (saved.error)
        FailInput(saved.error->path, "cannot be written (" + Describe(*saved.error) + ")");
}

}  // namespace

FileDoc OpenDocument(const std::string& path, bool strict,
                     std::vector<UnreadCompanion>* unreadOut) {
    // Held while reading, so that no save of another process is seen half done.
    const std::string file = ResolvedPath(path);
    const SaveLock lock(file);
    if (lock.busy()) FailInput(path, "is being saved by another program; try again in a moment");
    const Recovered recovered = RecoverDocumentFiles(file);
    if (const auto& error = recovered.error)
        FailInput(error->path,
                  "an interrupted save cannot be completed (" + Describe(*error) + ")");
    WarnSetAside(path, recovered.setAside);
    if (strict && !recovered.setAside.empty())
        FailInput(path, "a damaged save journal was set aside (--strict)");
    if (!FileExists(path)) FailInput(path, "no such file");
    const auto bytes = ReadFileBytes(path);
    if (!bytes) FailInput(path, "cannot be read");
    FileDoc doc;
    if (!DecodeDocument(*bytes, doc)) FailInput(path, "is not a vehicle document or is damaged");
    doc.path = path;
    doc.named = true;
    std::vector<UnreadCompanion> unread = LoadZoom2Files(doc);
    if (!unreadOut)
        for (const UnreadCompanion& u : unread)
            std::fprintf(stderr,
                         "rvktool: warning: %s: %s; its vehicle is shown without Zoom2 graphics\n",
                         u.path.c_str(), Zoom2Fault(u).c_str());
    if (strict && !unread.empty())
        FailInput(path, std::to_string(unread.size()) + " companion file" +
                            (unread.size() == 1 ? "" : "s") + " cannot be used (--strict)");
    if (unreadOut) *unreadOut = std::move(unread);
    return doc;
}

void WriteNewDocument(FileDoc& doc, const std::string& path) {
    Saved(SaveDocumentOver(doc, path), path);
}

void SaveOrFail(FileDoc& doc) {
    Saved(SaveDocument(doc), doc.path);
}

void WriteOutput(const std::string& out, std::span<const std::uint8_t> bytes) {
    if (out == "-") {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);  // a failed write is reported on exit
        return;
    }
    std::optional<FileError> why;
    if (!WriteFileAtomic(out, bytes, &why))
        FailInput(why->path, "cannot be written (" + Describe(*why) + ")");
}

int FinishOutput(const char* command, int status) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
    std::fprintf(stderr, "rvktool%s%s: standard output: cannot be written\n", *command ? " " : "",
                 command);
    return kExitBadInput;
}

}  // namespace rvk::tool
