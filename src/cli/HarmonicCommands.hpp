#pragma once
// qelt-cli harmonic get / analyze: one acquisition as "OK" makes it, or a
// harmonic file opened as "Open" opens it; the harmonic file, the normalised
// cycle list and the figures table.
#include "cli/CliOptions.hpp"

namespace qelt::cli {

void AddHarmonicCommands(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
