#include "cli/HarmonicCommands.hpp"

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "cli/CliInstrument.hpp"
#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "harmonic/FileHz.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicFile.hpp"
#include "harmonic/HarmonicLimits.hpp"
#include "harmonic/WaveRequest.hpp"
#include "link/Commands.hpp"
#include "records/GridFile.hpp"
#include "text/NumberText.hpp"

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

struct LimitsOptions {
  std::string In;
  std::string Standard;
  double IscIl = 0;
  bool IscIlGiven = false;
  std::string Format = "text";
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

// The file open chain of analyze and limits; the frequency, when not given,
// from the sample count (said on stderr, as is a count that disagrees with it).
int ReadFileCycle(const std::string& path, std::optional<int> hz, HarmonicState& state, int& hzTaken) {
  HarmonicFileRead file = ReadHarmonicFile(path);
  if (!file.Ok) {
    Complain("cannot read " + path + ": " + file.Reason);
    return FileError;
  }
  const int rows = static_cast<int>(file.Rows.size());
  const FileHz taken = FileHzFor(rows, hz);
  if (rows < SamplesNeeded(taken.Mode)) {
    Complain(path + " holds " + std::to_string(rows) + " sample lines; " + std::to_string(SamplesNeeded(taken.Mode)) +
             " are needed");
    return BadContents;
  }
  if (!taken.Note.empty()) Complain(path + ": " + taken.Note);
  hzTaken = taken.Hz;
  StartHarmonicLists(state);
  TakeFileRows(state, file.Rows, taken.Mode);
  AnalyseCycle(state, true);
  return Ok;
}

int RunAnalyze(const HarmonicOptions& o, std::optional<int> hz) {
  HarmonicState state;
  int hzTaken = 0;
  if (int rc = ReadFileCycle(o.In, hz, state, hzTaken); rc != Ok) return rc;
  return WriteOutputs(o, state);
}

std::optional<double> PercentOf(const std::string& text) {
  if (text.empty() || text == NoFigure) return std::nullopt;
  return NumericPrefix(text);
}

nlohmann::ordered_json OrNull(std::optional<double> value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json OrNull(std::optional<bool> value) {
  return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

std::string LimitsJson(const std::string& path, int hz, const LimitVerdict& v) {
  nlohmann::ordered_json out;
  out["file"] = path;
  out["hz"] = hz;
  out["standard"] = StandardName(v.Choice.Standard);
  out["kind"] = IsCurrentTable(v.Choice) ? "current" : "voltage";
  out["isc_il"] = IsCurrentTable(v.Choice) ? nlohmann::ordered_json(v.Choice.IscIl) : nlohmann::ordered_json(nullptr);
  out["thd_pct"] = OrNull(PercentOf(v.ThdText));
  out["thd_limit_pct"] = OrNull(v.ThdLimit);
  out["thd_pass"] = OrNull(v.ThdPass);
  nlohmann::ordered_json orders = nlohmann::ordered_json::array();
  for (int h = 2; h <= HighestOrder; ++h) {
    const OrderVerdict& order = v.Orders[static_cast<std::size_t>(h)];
    orders.push_back({{"h", h},
                      {"pct", OrNull(PercentOf(order.Text))},
                      {"limit_pct", OrNull(order.Limit)},
                      {"pass", OrNull(order.Pass)}});
  }
  out["orders"] = std::move(orders);
  out["pass"] = v.Pass;
  return out.dump() + "\n";
}

// TAB-separated: a heading, the orders, the THD line and the verdict.
std::string LimitsText(const std::string& path, int hz, const LimitVerdict& v) {
  std::string out = path + "\t" + std::to_string(hz) + " Hz\t" + ChoiceTitle(v.Choice) + "\n";
  out += "K\tORD%\tLimit%\tResult\n";
  for (int h = 2; h <= HighestOrder; ++h) {
    const OrderVerdict& order = v.Orders[static_cast<std::size_t>(h)];
    out += std::to_string(h) + "\t" + order.Text + "\t" + LimitText(order.Limit) + "\t" + PassWord(order.Pass) + "\n";
  }
  out += std::string(IsCurrentTable(v.Choice) ? "TDD" : "THD-F") + "\t" + v.ThdText + "\t" + LimitText(v.ThdLimit) +
         "\t" + PassWord(v.ThdPass) + "\n";
  out += std::string("Verdict\t") + (v.Pass ? "pass" : "fail") + "\n";
  return out;
}

int RunLimits(const LimitsOptions& o, std::optional<int> hz) {
  const Result<LimitChoice> choice =
      ParseLimitChoice(o.Standard, o.IscIlGiven ? std::optional<double>(o.IscIl) : std::nullopt);
  if (!choice) {
    Complain(choice.Reason());
    return Usage;
  }
  HarmonicState state;
  int hzTaken = 0;
  if (int rc = ReadFileCycle(o.In, hz, state, hzTaken); rc != Ok) return rc;
  const LimitVerdict verdict = JudgeFigures(ComputeFigures(state), choice.Value());
  const std::string out = o.Format == "json" ? LimitsJson(o.In, hzTaken, verdict) : LimitsText(o.In, hzTaken, verdict);
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  return Ok;
}

void AddLimitsCommand(CLI::App* harmonic, CommandList& commands) {
  auto o = std::make_shared<LimitsOptions>();
  auto hz = std::make_shared<int>(0);
  auto* limits = harmonic->add_subcommand("limits", "a harmonic file against the limits of a standard");
  limits->add_option("file", o->In, "harmonic file")->required();
  auto* hzOption = limits->add_option("--hz", *hz, "line frequency: 50 or 60 (default: from the sample count)")
                       ->check(CLI::IsMember({50, 60}));
  limits->add_option("--standard", o->Standard, "en50160 or ieee519")
      ->required()
      ->check(CLI::IsMember({"en50160", "ieee519"}));
  auto* iscIl =
      limits->add_option("--isc-il", o->IscIl, "ISC/IL ratio: the ieee519 current limits (the acquisition a current)")
          ->check(AboveZero);
  limits->add_option("--format", o->Format, "text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  commands.push_back({limits, [o, hz, hzOption, iscIl] {
                        o->IscIlGiven = iscIl->count() > 0;
                        return RunLimits(*o, hzOption->count() > 0 ? std::optional<int>(*hz) : std::nullopt);
                      }});
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
  auto* hz = analyze
                 ->add_option("--hz", analyzeOptions->Hz,
                              "50 or 60 (default: 50 for 64 sample lines or more, 60 for 54 to 63)")
                 ->check(CLI::IsMember({50, 60}));
  analyze->add_option("--report", analyzeOptions->Report, "figures table (default: stdout)");
  analyze->add_option("--cycle", analyzeOptions->Cycle, "normalised cycle list");

  commands.push_back({get, [options] { return RunGet(*options); }});
  commands.push_back({analyze, [analyzeOptions, hz] {
                        return RunAnalyze(*analyzeOptions,
                                          hz->count() > 0 ? std::optional<int>(analyzeOptions->Hz) : std::nullopt);
                      }});
  AddLimitsCommand(harmonic, commands);
}

}  // namespace qelt::cli
