#pragma once
// qelt-cli quality: the voltage quality of a recording against EN 50160, as
// a page of text or one JSON document.
#include <CLI/CLI.hpp>

#include "cli/CliOptions.hpp"

namespace qelt::cli {

void AddQualityCommand(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
