#include "cli/LiveCommands.hpp"

#include <filesystem>
#include <memory>

#include "cli/CliInstrument.hpp"
#include "cli/ReadingText.hpp"
#include "cli/SystemPorts.hpp"
#include "link/ClockCommand.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/TimedRecording.hpp"
#include "text/NumberText.hpp"

namespace qelt::cli {
namespace {

int RunRead(const PortOptions& o, long count, const std::string& format) {
  CliInstrument meter(o.Timeout);
  if (int rc = meter.Open(o); rc != Ok) return rc;
  for (long i = 0; i < count && !Interrupted(); ++i) {
    if (!meter.ReadOnce()) return meter.NoAnswerExit();
    // Once, above the first reading: a silent instrument leaves stdout empty.
    if (i == 0 && format == "json") PrintLine(UnitsJson());
    const ReadingMoment moment = MomentNow(meter.host);
    PrintLine(format == "json" ? ReadingJson(moment, meter.session.Meter, meter.session.Live)
                               : ReadingTsv(moment.When, meter.session.Live));
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

// What the four commands' options fill in; it lives as long as the commands.
struct LiveOptions {
  PortOptions ReadPort, RecordPort, ClockPort;
  long Count = 1;
  std::string Format = "tsv";
  TimedRecordingOptions Rec;
  long RecCount = 0;
  double RecSeconds = 0;
  std::string PortsFormat = "tsv";
};

void AddLiveCommands(CLI::App& app, CommandList& commands) {
  auto o = std::make_shared<LiveOptions>();
  auto* read = app.add_subcommand("read", "print live readings");
  AddPortOptions(read, o->ReadPort);
  read->add_option("--count", o->Count, "number of readings")->check(AboveZero)->capture_default_str();
  read->add_option("--format", o->Format, "tsv or json")->check(CLI::IsMember({"tsv", "json"}))->capture_default_str();

  auto* record = app.add_subcommand("record", "record live readings into a measurement file");
  AddPortOptions(record, o->RecordPort);
  record->add_option("--out", o->Rec.Out, "measurement file")->required();
  record->add_option("--interval", o->Rec.Interval, "seconds between records (1..86400)")
      ->check(CLI::Range(1, 86400))
      ->capture_default_str();
  auto* limit = record->add_option_group("how long", "one of --count and --seconds");
  limit->add_option("--count", o->RecCount, "number of records")->check(AboveZero);
  limit->add_option("--seconds", o->RecSeconds, "seconds to record")->check(AboveZero);
  limit->require_option(1);

  auto* clock = app.add_subcommand("clock", "set the instrument clock from the PC clock");
  AddPortOptions(clock, o->ClockPort);

  auto* ports = app.add_subcommand("ports", "list the system's serial ports (device, description, serial number)");
  ports->add_option("--format", o->PortsFormat, "tsv or json")
      ->check(CLI::IsMember({"tsv", "json"}))
      ->capture_default_str();

  commands.push_back({ports, [o] {
                        for (const SystemPortInfo& port : SystemPorts())
                          PrintLine(SystemPortLine(port, o->PortsFormat == "json"));
                        return Ok;
                      }});
  commands.push_back({read, [o] { return RunRead(o->ReadPort, o->Count, o->Format); }});
  commands.push_back({record, [o] {
                        o->Rec.Count = o->RecCount;
                        o->Rec.Seconds = o->RecSeconds;
                        return RunRecord(o->RecordPort, o->Rec);
                      }});
  commands.push_back({clock, [o] { return RunClock(o->ClockPort); }});
}

}  // namespace qelt::cli
