#pragma once
// qelt-cli publish: live readings to an MQTT broker, spooled so that none is
// lost, with retained status, instrument state, energy totals and, if asked,
// home automation discovery documents.
#include <CLI/CLI.hpp>

#include "cli/CliOptions.hpp"

namespace qelt::cli {

void AddPublishCommand(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
