#include "cli/SummaryCommand.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "analysis/Summary.hpp"
#include "analysis/SummaryText.hpp"
#include "analysis/ZoneChanges.hpp"
#include "cli/CliInstrument.hpp"

namespace qelt::cli {
namespace {

struct SummaryCommandOptions {
  std::string File;
  bool Single = false;
  int Demand = 15;
  std::string Format = "text";
};

int RunSummary(const SummaryCommandOptions& o) {
  // A missing file is told as such, before any continuation is looked for.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> probe(std::fopen(o.File.c_str(), "rb"), &std::fclose);
  if (!probe) {
    Complain("cannot read " + o.File + ": " + std::strerror(errno));
    return FileError;
  }
  probe.reset();
  SummaryOptions options;
  options.DemandMinutes = o.Demand;
  const Summary summary = Summarize(RecordingFiles(o.File, o.Single), options);
  if (summary.Error != SummaryError::None) {
    Complain("cannot read " + summary.Reason);
    return FileError;
  }
  if (summary.Records == 0) {
    Complain(o.File + " holds no record row (" + std::to_string(summary.BadRows) + " bad row(s))");
    return BadContents;
  }
  if (summary.BadRows > 0) Complain(std::to_string(summary.BadRows) + " bad row(s) skipped");
  if (o.Format == "json") {
    PrintLine(SummaryJson(summary));
  } else {
    std::string text = SummaryText(MakeSummaryTables(summary));
    if (summary.First && summary.Last) text += ZoneChangeNote(ZoneChangesBetween(*summary.First, *summary.Last));
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  return Ok;
}

}  // namespace

void AddSummaryCommand(CLI::App& app, CommandList& commands) {
  auto o = std::make_shared<SummaryCommandOptions>();
  auto* summary = app.add_subcommand("summary", "statistics, energy, demand and unbalance of a recording");
  summary->add_option("file", o->File, "measurement file (its continuation files follow) or saved list")->required();
  summary->add_flag("--single", o->Single, "the file alone, without its continuation files");
  summary->add_option("--demand", o->Demand, "demand block in minutes (1..1440)")
      ->check(CLI::Range(1, 1440))
      ->capture_default_str();
  summary->add_option("--format", o->Format, "text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  commands.push_back({summary, [o] { return RunSummary(*o); }});
}

}  // namespace qelt::cli
