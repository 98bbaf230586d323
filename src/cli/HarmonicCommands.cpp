#include "cli/HarmonicCommands.hpp"

#include <cstdio>
#include <memory>

#include "cli/CliInstrument.hpp"
#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicFile.hpp"
#include "harmonic/WaveRequest.hpp"
#include "link/Commands.hpp"
#include "records/GridFile.hpp"

namespace qelt::cli {
namespace {

struct HarmonicOptions {
  PortOptions Port;
  std::string Signal;
  int Hz = 60;
  std::string Out;
  std::string In;
  std::string Report;
  std::string Cycle;
};

// "a".."f" or one of the six item texts; empty for anything else.
std::string PhaseText(const std::string& signal) {
  if (signal.size() == 1 && signal[0] >= cmd::WaveFirst && signal[0] <= cmd::WaveLast)
    return PhaseItems[signal[0] - cmd::WaveFirst];
  return RequestLetter(signal) ? signal : std::string();
}

std::string HzText(int hz) { return std::to_string(hz) + "Hz"; }

int WriteList(const std::string& path, const GridRows& grid) {
  GridFileResult written = WriteGridFile(path, grid);
  if (written.Ok) return Ok;
  Complain("cannot write " + path + ": " + written.Reason);
  return FileError;
}

// The cycle list and the figures, as both commands end.
int WriteOutputs(const HarmonicOptions& o, HarmonicState& state) {
  if (!o.Cycle.empty())
    if (int rc = WriteList(o.Cycle, state.Grid); rc != Ok) return rc;
  const std::string report = FiguresReport(ComputeFigures(state));
  if (o.Report.empty()) {
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
    return Ok;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(o.Report.c_str(), "wb"), &std::fclose);
  if (!file || std::fwrite(report.data(), 1, report.size(), file.get()) != report.size() ||
      std::fflush(file.get()) != 0) {
    // No half report is left behind to be taken for a whole one.
    file.reset();
    std::remove(o.Report.c_str());
    Complain("cannot write " + o.Report);
    return FileError;
  }
  return Ok;
}

int RunGet(const HarmonicOptions& o) {
  const std::string phase = PhaseText(o.Signal);
  if (phase.empty()) {
    Complain("\"" + o.Signal + "\" is no signal: a..f, or \"A Phase Voltage\" .. \"C Phase Current\"");
    return Usage;
  }
  CliInstrument meter(o.Port.Timeout);
  if (int rc = meter.Open(o.Port.Port); rc != Ok) return rc;
  HarmonicState& state = meter.session.Harmonic;
  StartHarmonicLists(state);

  const double deadline = meter.Deadline();
  const PhaseSelection selection{phase, "x 4", "Voltage"};
  WaveReply reply;
  // A stalled or overlong reply is asked for again while the time lasts.
  do {
    ExchangeGuard::Ticket ticket = meter.session.Guard.TakeForCommand();
    ticket.Deadline = deadline;
    reply = RequestWave(meter.link, ticket, [&] { return selection; });
    if (reply.Outcome == WaveOutcome::Complete) break;
    if (reply.Outcome != WaveOutcome::Abandoned) {
      const std::string message = WaveFailureMessage(reply);
      Complain(message.substr(0, message.find('\r')));
    }
  } while (!Interrupted() && meter.host.Monotonic() < deadline);
  if (reply.Outcome != WaveOutcome::Complete) return meter.NoAnswerExit();

  TakeReply(state, reply.Bytes, HzText(o.Hz));
  AnalyseCycle(state, false);
  meter.port.Write(std::string(1, cmd::Reset));
  if (int rc = WriteList(o.Out, state.Grid54); rc != Ok) return rc;
  return WriteOutputs(o, state);
}

int RunAnalyze(const HarmonicOptions& o, bool hzGiven) {
  HarmonicFileRead file = ReadHarmonicFile(o.In);
  if (!file.Ok) {
    Complain("cannot read " + o.In + ": " + file.Reason);
    return FileError;
  }
  const FileCycle mode = hzGiven && o.Hz == 50 ? FileCycle::Whole64 : FileCycle::Stretch54;
  if (static_cast<int>(file.Rows.size()) < SamplesNeeded(mode)) {
    Complain(o.In + " holds " + std::to_string(file.Rows.size()) + " sample lines; " +
             std::to_string(SamplesNeeded(mode)) + " are needed");
    return BadContents;
  }
  HarmonicState state;
  StartHarmonicLists(state);
  TakeFileRows(state, file.Rows, mode);
  AnalyseCycle(state, true);
  return WriteOutputs(o, state);
}

}  // namespace

void AddHarmonicCommands(CLI::App& app, CommandList& commands) {
  auto* harmonic = app.add_subcommand("harmonic", "harmonic analysis of one cycle of a phase voltage or current");
  harmonic->require_subcommand(1);
  auto options = std::make_shared<HarmonicOptions>();
  auto analyzeOptions = std::make_shared<HarmonicOptions>();

  auto* get = harmonic->add_subcommand("get", "acquire one cycle and analyse it");
  AddPortOptions(get, options->Port);
  get->add_option("--signal", options->Signal, "a..f, or \"A Phase Voltage\" .. \"C Phase Current\"")->required();
  get->add_option("--hz", options->Hz, "line frequency: 50 or 60")->required()->check(CLI::IsMember({50, 60}));
  get->add_option("--out", options->Out, "harmonic file to write")->required();
  get->add_option("--report", options->Report, "figures table (default: stdout)");
  get->add_option("--cycle", options->Cycle, "normalised cycle list");

  auto* analyze = harmonic->add_subcommand("analyze", "analyse a harmonic file");
  analyze->add_option("file", analyzeOptions->In, "harmonic file")->required();
  auto* hz = analyze->add_option("--hz", analyzeOptions->Hz, "50: a file of 64 rows is one 50 Hz cycle as it stands")
                 ->check(CLI::IsMember({50, 60}));
  analyze->add_option("--report", analyzeOptions->Report, "figures table (default: stdout)");
  analyze->add_option("--cycle", analyzeOptions->Cycle, "normalised cycle list");

  commands.push_back({get, [options] { return RunGet(*options); }});
  commands.push_back({analyze, [analyzeOptions, hz] { return RunAnalyze(*analyzeOptions, hz->count() > 0); }});
}

}  // namespace qelt::cli
