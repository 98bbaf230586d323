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

int CheckRecordingOpens(const std::string& file) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> probe(std::fopen(file.c_str(), "rb"), &std::fclose);
  if (probe) return Ok;
  Complain("cannot read " + file + ": " + std::strerror(errno));
  return FileError;
}

int RecordingReadExit(const std::string& file, SummaryError error, const std::string& reason, std::int64_t records,
                      std::int64_t badRows) {
  if (error != SummaryError::None) {
    Complain("cannot read " + reason);
    return FileError;
  }
  if (records == 0) {
    Complain(file + " holds no record row (" + std::to_string(badRows) + " bad row(s))");
    return BadContents;
  }
  if (badRows > 0) Complain(std::to_string(badRows) + " bad row(s) skipped");
  return Ok;
}

namespace {

struct SummaryCommandOptions {
  std::string File;
  bool Single = false;
  int Demand = 15;
  std::string Format = "text";
};

int RunSummary(const SummaryCommandOptions& o) {
  if (const int opens = CheckRecordingOpens(o.File); opens != Ok) return opens;
  SummaryOptions options;
  options.DemandMinutes = o.Demand;
  const Summary summary = Summarize(RecordingFiles(o.File, o.Single), options);
  if (const int read = RecordingReadExit(o.File, summary.Error, summary.Reason, summary.Records, summary.BadRows);
      read != Ok)
    return read;
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
