#pragma once
// qelt-cli logger list | get | erase: the logger memory for scripts.
#include <CLI/CLI.hpp>

#include "cli/CliOptions.hpp"

namespace qelt::cli {

void AddLoggerCommands(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
