#pragma once
// What every qelt-cli command shares: the port options, number checks, and
// the list through which each group of commands adds itself to the tool.
#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace qelt::cli {

struct PortOptions {
  std::string Port;        // "find": the first port whose instrument answers
  std::string Candidates;  // with "find": the devices to try, comma-separated; else every serial port
  double Timeout = 10.0;
};

// A finite number above 0. CLI::PositiveNumber lets "nan" through, and a NaN
// timeout or duration would never end.
extern const CLI::Validator AboveZero;

// --port (required), --candidates and --timeout.
void AddPortOptions(CLI::App* cmd, PortOptions& o);

// One line on stdout, flushed at once so that a script reads it as it comes.
void PrintLine(const std::string& line);

// A subcommand and what runs when it was parsed; Run returns the exit code.
// Run may throw CLI::ValidationError for checks across options.
struct Command {
  CLI::App* Sub;
  std::function<int()> Run;
};
using CommandList = std::vector<Command>;

// After CatchInterrupts(), SIGINT and SIGTERM set Interrupted(): long
// commands stop at their next step and keep what they wrote.
void CatchInterrupts();
bool Interrupted();

}  // namespace qelt::cli
