#pragma once
// qelt-cli summary: the figures of a recording, as a table or one JSON document.
#include <CLI/CLI.hpp>

#include "cli/CliOptions.hpp"

namespace qelt::cli {

void AddSummaryCommand(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
