// What every rvktool subcommand shares: its failures with their exit status, the
// parsing of its arguments, and opening a document with its companion files.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "storage/document_files.h"

namespace rvk::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

// A subcommand stops with this; main prints it as one line on stderr.
struct Failure {
    int status = kExitBadInput;
    std::string message;
};

// Bad input: "FILE: fault".
[[noreturn]] void FailInput(const std::string& file, const std::string& fault);
[[noreturn]] void FailUsage(const std::string& message);

struct Subcommand {
    const char* name;
    const char* summary;  // one line for the overview
    const char* usage;    // the --help text
    int (*run)(const std::vector<std::string>& args);
};

// Options of the form "--name value" or "--name=value", flags "--name", and positional
// arguments. Anything else is a usage error.
class Arguments {
public:
    Arguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
              const std::set<std::string>& flags);

    bool helpWanted() const { return help_; }
    const std::vector<std::string>& positional() const { return positional_; }
    // The positional arguments, exactly `count` of them.
    const std::vector<std::string>& expectPositional(std::size_t count, const char* what) const;
    bool flag(const std::string& name) const { return flags_.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;
    // An integer option within [low, high]; `fallback` when absent.
    int integer(const std::string& name, int low, int high, std::optional<int> fallback) const;

private:
    bool help_ = false;
    std::vector<std::string> positional_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

// Prints the command's usage when --help was given; true then.
bool HelpShown(const Arguments& args, const Subcommand& command);

// The vehicle that --fleet I --vehicle J [--zoom2] name.
struct VehicleChoice {
    int fleet = 0;
    int vehicle = 0;
    bool zoom2 = false;
};
VehicleChoice ParseVehicleChoice(const Arguments& args);
// That vehicle of the document at path; bad input when it is not there or, with
// zoom2, has no Zoom2 graphics.
VehicleRec& ChosenVehicle(FileDoc& doc, const std::string& path, const VehicleChoice& choice);
// Fleet `fleet` of the document at path; bad input when it is not there.
FleetRec& ChosenFleet(FileDoc& doc, const std::string& path, int fleet);

// Reads a .rvk file and every companion Zoom2 file beside it as the editor opens it,
// finishing an interrupted save first. A companion file that exists but cannot be
// read is a warning on stderr naming the file and the fault (or, with `unread`, is
// listed there instead), and its vehicle has no Zoom2 graphics; with `strict` such
// companions are a failure of the input.
FileDoc OpenDocument(const std::string& path, bool strict,
                     std::vector<UnreadCompanion>* unread = nullptr);
// Why a companion file could not be used, as a phrase to follow its name.
std::string Zoom2Fault(const UnreadCompanion& unread);

// Writes what a command made to the file -o names (through links, refusing anything
// but a regular file there), or to standard output for "-".
void WriteOutput(const std::string& out, std::span<const std::uint8_t> bytes);

// Standard output once a command is done: a failed write is bad input like any other.
int FinishOutput(const char* command, int status);

// Writes a document made by the tool to path, as the editor saves. Companion files an
// earlier document of that name left belong to it now, so those that no vehicle
// needs are removed (a reader would otherwise give them to the new vehicles).
void WriteNewDocument(FileDoc& doc, const std::string& path);
// Saves the document where it says, or fails naming the file that could not be written.
void SaveOrFail(FileDoc& doc);

}  // namespace rvk::tool
