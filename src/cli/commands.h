// The subcommands of rvktool.
#pragma once

#include "cli/tool_support.h"

namespace rvk::tool {

extern const Subcommand kInfoCommand;
extern const Subcommand kDumpCommand;
extern const Subcommand kDiffCommand;
extern const Subcommand kBuildCommand;
extern const Subcommand kRenderCommand;
extern const Subcommand kImportUfgCommand;
extern const Subcommand kExportPngCommand;
extern const Subcommand kImportPngCommand;
extern const Subcommand kHostListCommand;
extern const Subcommand kHostDumpCommand;
extern const Subcommand kHostExportCommand;

}  // namespace rvk::tool
