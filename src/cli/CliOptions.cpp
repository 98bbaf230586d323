#include "cli/CliOptions.hpp"

#include <cmath>
#include <csignal>
#include <cstdio>

namespace qelt::cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;
void OnSignal(int) { interrupted = 1; }
}  // namespace

void CatchInterrupts() {
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
#ifdef SIGXFSZ
  // A file size limit then fails the write, which stops with the message and
  // a whole last line, instead of killing the program mid-line.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
}

bool Interrupted() { return interrupted != 0; }

const CLI::Validator AboveZero(
    [](std::string& input) -> std::string {
      double value = 0;
      if (!CLI::detail::lexical_cast(input, value) || !std::isfinite(value) || !(value > 0))
        return "must be a number above 0, not " + input;
      return {};
    },
    "NUMBER>0");

void AddPortOptions(CLI::App* cmd, PortOptions& o) {
  cmd->add_option("--port", o.Port, "serial port: COM1..COM16, Auto, a device path, or find")->required();
  cmd->add_option("--candidates", o.Candidates,
                  "with --port find: the devices to try, DEV,DEV (default: every serial port)");
  cmd->add_option("--timeout", o.Timeout, "seconds to keep trying while the instrument gives no usable answer")
      ->check(AboveZero)
      ->capture_default_str();
}

void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace qelt::cli
