// rvktool: the command-line companion of the editor. Reads and writes the same
// documents without a window.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include "cli/commands.h"
#include "cli/tool_support.h"
#include "storage/file_io.h"

namespace {

using rvk::tool::Subcommand;

const Subcommand* const kCommands[] = {
    &rvk::tool::kInfoCommand,      &rvk::tool::kDumpCommand,      &rvk::tool::kDiffCommand,
    &rvk::tool::kBuildCommand,     &rvk::tool::kRenderCommand,    &rvk::tool::kImportUfgCommand,
    &rvk::tool::kExportPngCommand, &rvk::tool::kImportPngCommand, &rvk::tool::kHostListCommand,
    &rvk::tool::kHostDumpCommand,  &rvk::tool::kHostExportCommand};

void PrintOverview(std::FILE* out) {
    std::fputs("usage: rvktool COMMAND [ARGUMENTS]\n\ncommands:\n", out);
    for (const Subcommand* c : kCommands) std::fprintf(out, "  %-11s %s\n", c->name, c->summary);
    std::fputs(
        "\n'rvktool COMMAND --help' describes a command.\n"
        "Exit status: 0 success, 1 bad input, 2 wrong usage ('rvktool diff --help' for diff).\n",
        out);
}

// The arguments in UTF-8, as every path is handled.
std::vector<std::string> ArgumentsOf(int argc, char** argv) {
#ifdef _WIN32
    // argv is in the ANSI code page, which cannot hold every file name.
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(rvk::Utf8FromPath(wide[i]));
    LocalFree(wide);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Bytes as they are: pictures go to standard output, and every text ends its lines
    // as on the other systems.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    const std::vector<std::string> args = ArgumentsOf(argc, argv);
    if (args.empty()) {
        PrintOverview(stderr);
        return rvk::tool::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintOverview(stdout);
        return rvk::tool::FinishOutput("", rvk::tool::kExitOk);
    }
    const Subcommand* command = nullptr;
    for (const Subcommand* c : kCommands)
        if (args[0] == c->name) command = c;
    if (!command) {
        std::fprintf(stderr, "rvktool: unknown command '%s'\n", args[0].c_str());
        PrintOverview(stderr);
        return rvk::tool::kExitUsage;
    }
    try {
        return rvk::tool::FinishOutput(
            command->name, command->run(std::vector<std::string>(args.begin() + 1, args.end())));
    } catch (const rvk::tool::Failure& failure) {
        std::fprintf(stderr, "rvktool %s: %s\n", command->name, failure.message.c_str());
        if (failure.status == rvk::tool::kExitUsage) std::fputs(command->usage, stderr);
        return failure.status;
    } catch (const std::exception& e) {
        // Only exhaustion of memory or the like ends up here.
        std::fprintf(stderr, "rvktool %s: %s\n", command->name, e.what());
        return rvk::tool::kExitBadInput;
    }
}
