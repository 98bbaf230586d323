// qelt-cli: the instrument from scripts, without a display. Its commands:
// read, record, clock, ports, logger (list, get, erase), harmonic (get,
// analyze), summary, quality, report and publish; each exits with the codes of
// cli/CliInstrument.hpp.
#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "cli/CliInstrument.hpp"
#include "cli/CliOptions.hpp"
#include "cli/HarmonicCommands.hpp"
#include "cli/HelpFormatter.hpp"
#include "cli/LoggerCommands.hpp"
#include "cli/PublishCommand.hpp"
#include "cli/ReadingText.hpp"
#ifdef QELT_WITH_REPORT
#include "cli/ReportCommand.hpp"
#endif
#include "cli/QualityCommand.hpp"
#include "cli/SummaryCommand.hpp"
#include "cli/SystemPorts.hpp"
#include "link/ClockCommand.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/TimedRecording.hpp"
#include "text/NumberText.hpp"
#include "text/Version.hpp"

using namespace qelt;
using namespace qelt::cli;

namespace {

int RunRead(const PortOptions& o, long count, const std::string& format) {
  CliInstrument meter(o.Timeout);
  if (int rc = meter.Open(o); rc != Ok) return rc;
  for (long i = 0; i < count && !Interrupted(); ++i) {
    if (!meter.ReadOnce()) return meter.NoAnswerExit();
    // Once, above the first reading: a silent instrument leaves stdout empty.
    if (i == 0 && format == "json") PrintLine(UnitsJson());
    int millisecond = 0;
    const DateTime when = NowWithMillisecond(meter.host, millisecond);
    PrintLine(format == "json" ? ReadingJson(when, millisecond, meter.session.Meter, meter.session.Live)
                               : ReadingTsv(when, meter.session.Live));
  }
  return Ok;
}

int RunRecord(const PortOptions& o, const TimedRecordingOptions& rec) {
  CliInstrument meter(o.Timeout);
  if (int rc = meter.Open(o); rc != Ok) return rc;
  // The file is replaced as before, but not silently; old continuation files
  // would otherwise pass for part of the new recording.
  std::error_code ec;
  if (std::filesystem::exists(rec.Out, ec)) Complain(rec.Out + " exists and is replaced");
  int oldParts = 0;
  while (std::filesystem::exists(ContinuationName(rec.Out, oldParts + 1), ec)) ++oldParts;
  if (oldParts > 0)
    Complain(std::to_string(oldParts) + " old continuation file(s) beside it (" + ContinuationName(rec.Out, 1) +
             " ...) are left as they are");
  // The first record waits for a first reading, as the program's labels do.
  if (!meter.ReadOnce()) return meter.NoAnswerExit();
  double lastReading = meter.host.Monotonic();
  bool silent = false;
  auto between = [&](double /*nextTick*/) {
    if (Interrupted()) return false;
    // Poll until the tick is due; a poll in flight is finished first (a
    // tenth of a second), as the program's timers do.
    PollOutcome outcome = meter.poll.Tick({lastReading + o.Timeout});
    if (outcome == PollOutcome::Reading) {
      lastReading = meter.host.Monotonic();
    } else if (meter.host.Monotonic() >= lastReading + o.Timeout) {
      silent = true;
      return false;
    }
    return true;
  };
  // An outage is told when it begins and when readings are back, with the
  // records it cost; the file shows it only as a gap in the times.
  std::string outageStart;
  std::int64_t skippedBefore = 0, skipped = 0;
  LinkLossWatch outageWatch(meter.link, [&] {
    if (!outageStart.empty()) return;
    outageStart = TimeText(meter.host.Now());
    Complain("the instrument stopped answering at " + outageStart + "; no records until it answers again");
  });
  auto onSkipped = [&](const DateTime& when, std::int64_t total) {
    if (outageStart.empty()) outageStart = TimeText(when);
    skipped = total;
  };
  auto onRecord = [&](const std::string& line) {
    if (!outageStart.empty()) {
      Complain("outage from " + outageStart + " to " + SplitRow(line)[2] + ": " +
               std::to_string(skipped - skippedBefore) + " record(s) skipped");
      outageStart.clear();
      skippedBefore = skipped;
    }
    PrintLine(line);
  };
  TimedRecordingResult result = RunTimedRecording(
      meter.host, rec, [&] { return ValueTextsOf(meter.session.Live); }, between, onRecord,
      [&] { return meter.session.Meter.ReadingSerial; }, onSkipped);
  switch (result.End) {
    case TimedRecordingEnd::Done: return Ok;
    case TimedRecordingEnd::FileFault: Complain(result.Fault.Message()); return FileError;
    case TimedRecordingEnd::Stopped:
      if (silent) return meter.NoAnswerExit();
      return Ok;  // interrupted: what was recorded is in the file
  }
  return Ok;
}

int RunClock(const PortOptions& o) {
  CliInstrument meter(o.Timeout);
  if (int rc = meter.Open(o); rc != Ok) return rc;
  std::string sent = SetInstrumentClock(meter.link, meter.session.Guard, meter.Deadline());
  if (sent.empty()) return meter.NoAnswerExit();
  std::printf("%s\n", HexBytes(sent).c_str());
  return Ok;
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
  // Set before the commands, which inherit them: --help-all on any command,
  // and "Commands" as the heading of the list.
  app.formatter(std::make_shared<HelpFormatter>());
  app.set_help_all_flag("--help-all", "Print the help of every command and exit");
  app.group("Commands");
  app.require_subcommand(1);
  app.set_version_flag("--version", "qelt-cli " QELT_VERSION);

  PortOptions readPort, recordPort, clockPort;
  long count = 1;
  std::string format = "tsv";
  auto* read = app.add_subcommand("read", "print live readings");
  AddPortOptions(read, readPort);
  read->add_option("--count", count, "number of readings")->check(AboveZero)->capture_default_str();
  read->add_option("--format", format, "tsv or json")->check(CLI::IsMember({"tsv", "json"}))->capture_default_str();

  TimedRecordingOptions rec;
  long recCount = 0;
  double recSeconds = 0;
  auto* record = app.add_subcommand("record", "record live readings into a measurement file");
  AddPortOptions(record, recordPort);
  record->add_option("--out", rec.Out, "measurement file")->required();
  record->add_option("--interval", rec.Interval, "seconds between records (1..86400)")
      ->check(CLI::Range(1, 86400))
      ->capture_default_str();
  auto* limit = record->add_option_group("how long", "one of --count and --seconds");
  limit->add_option("--count", recCount, "number of records")->check(AboveZero);
  limit->add_option("--seconds", recSeconds, "seconds to record")->check(AboveZero);
  limit->require_option(1);

  auto* clock = app.add_subcommand("clock", "set the instrument clock from the PC clock");
  AddPortOptions(clock, clockPort);

  std::string portsFormat = "tsv";
  auto* ports = app.add_subcommand("ports", "list the system's serial ports (device, description, serial number)");
  ports->add_option("--format", portsFormat, "tsv or json")
      ->check(CLI::IsMember({"tsv", "json"}))
      ->capture_default_str();

  CommandList commands;
  commands.push_back({ports, [&] {
                        for (const SystemPortInfo& port : SystemPorts())
                          PrintLine(SystemPortLine(port, portsFormat == "json"));
                        return Ok;
                      }});
  commands.push_back({read, [&] { return RunRead(readPort, count, format); }});
  commands.push_back({record, [&] {
                        rec.Count = recCount;
                        rec.Seconds = recSeconds;
                        return RunRecord(recordPort, rec);
                      }});
  commands.push_back({clock, [&] { return RunClock(clockPort); }});
  AddLoggerCommands(app, commands);
  AddHarmonicCommands(app, commands);
  AddSummaryCommand(app, commands);
  AddQualityCommand(app, commands);
#ifdef QELT_WITH_REPORT
  AddReportCommand(app, commands);
#endif
  AddPublishCommand(app, commands);

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
