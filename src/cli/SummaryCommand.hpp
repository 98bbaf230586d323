#pragma once
// qelt-cli summary: the figures of a recording, as a table or one JSON document.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

#include "analysis/Summary.hpp"
#include "cli/CliOptions.hpp"

namespace qelt::cli {

// Of the commands that read a recording (summary, quality): Ok when file
// opens, else FileError, said on stderr, before any continuation is looked for.
int CheckRecordingOpens(const std::string& file);
// Ok when records were read (bad rows skipped are said), else the exit for
// what the reading found, said on stderr.
int RecordingReadExit(const std::string& file, SummaryError error, const std::string& reason, std::int64_t records,
                      std::int64_t badRows);

void AddSummaryCommand(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
