// qelt-cli: the instrument from scripts, without a display. Its commands:
// read, record, clock, ports, logger (list, get, erase), harmonic (get,
// analyze, limits), summary, quality, report and publish; each exits with the codes of
// cli/CliInstrument.hpp.
#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>

#include "cli/CliInstrument.hpp"
#include "cli/CliOptions.hpp"
#include "cli/HarmonicCommands.hpp"
#include "cli/HelpFormatter.hpp"
#include "cli/LiveCommands.hpp"
#include "cli/LoggerCommands.hpp"
#include "cli/PublishCommand.hpp"
#include "cli/QualityCommand.hpp"
#ifdef QELT_WITH_REPORT
#include "cli/ReportCommand.hpp"
#endif
#include "cli/SummaryCommand.hpp"
#include "text/Version.hpp"

using namespace qelt::cli;

namespace {

// Each group of commands adds itself to the tool, in the order of --help.
using CommandGroup = void (*)(CLI::App&, CommandList&);
const CommandGroup Groups[] = {
    AddLiveCommands,   AddLoggerCommands, AddHarmonicCommands, AddSummaryCommand, AddQualityCommand,
#ifdef QELT_WITH_REPORT
    AddReportCommand,
#endif
    AddPublishCommand,
};

// Set before the commands, which inherit them: --help-all on any command,
// and "Commands" as the heading of the list.
void SetUpTool(CLI::App& app) {
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_help_all_flag("--help-all", "Print the help of every command and exit");
  app.group("Commands");
  app.require_subcommand(1);
  app.set_version_flag("--version", "qelt-cli " QELT_VERSION);
}

int Dispatch(CLI::App& app, const CommandList& commands, int argc, char** argv) {
  // CLI11 would only say that a command is required.
  if (argc > 1 && argv[1][0] != '-') {
    const std::string name = argv[1];
    const std::vector<CLI::App*> known = app.get_subcommands([](CLI::App*) { return true; });
    if (std::none_of(known.begin(), known.end(), [&](const CLI::App* c) { return c->get_name() == name; })) {
      Complain("unknown command \"" + name + "\" (see --help)");
      return Usage;
    }
  }
  try {
    app.parse(argc, argv);
    for (const Command& command : commands)
      if (command.Sub->parsed()) return command.Run();
  } catch (const CLI::Success& e) {  // --help, --help-all, --version
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    Complain(std::string(e.what()) + " (see --help)");
    return Usage;
  }
  return Usage;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef QELT_WITH_REPORT
  // Only the report draws; every other command stays without widgets.
  std::unique_ptr<QCoreApplication> qapp =
      WantsReport(argc, argv) ? ReportApplication(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
#else
  QCoreApplication qapp(argc, argv);
#endif
  // Qt takes the environment's locale; numbers on the command line are read
  // with a point whatever it is ("--timeout 2.5" in a decimal-comma locale).
  std::setlocale(LC_NUMERIC, "C");
  CatchInterrupts();

  CLI::App app{
      "Qelt command-line tool: live readings, recordings, logger downloads and harmonic analysis of a "
      "three-phase power analyzer",
      "qelt-cli"};
  SetUpTool(app);
  CommandList commands;
  for (const CommandGroup add : Groups) add(app, commands);
  return Dispatch(app, commands, argc, argv);
}
