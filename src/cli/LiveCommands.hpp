#pragma once
// qelt-cli read, record, clock and ports: the live readings, a PC recording,
// the instrument clock and the system's serial ports.
#include <CLI/CLI.hpp>

#include "cli/CliOptions.hpp"

namespace qelt::cli {

void AddLiveCommands(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
