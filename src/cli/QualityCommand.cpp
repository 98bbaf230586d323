#include "cli/QualityCommand.hpp"

#include <cmath>
#include <cstdio>

#include "analysis/Quality.hpp"
#include "analysis/QualityText.hpp"
#include "cli/CliInstrument.hpp"
#include "cli/SummaryCommand.hpp"

namespace qelt::cli {
namespace {

struct QualityCommandOptions {
  std::string File;
  bool Single = false;
  double Nominal = 0;  // 0: not given
  bool LineVoltages = false;
  std::string Format = "text";
};

int RunQuality(const QualityCommandOptions& o) {
  if (const int opens = CheckRecordingOpens(o.File); opens != Ok) return opens;
  QualityOptions options;
  if (o.Nominal > 0) options.NominalV = o.Nominal;
  options.LineVoltages = o.LineVoltages;
  const Quality quality = AssessQuality(RecordingFiles(o.File, o.Single), options);
  if (const int read = RecordingReadExit(o.File, quality.Error, quality.Reason, quality.Records, quality.BadRows);
      read != Ok)
    return read;
  if (o.Format == "json") {
    PrintLine(QualityJson(quality));
  } else {
    const std::string text = QualityText(MakeQualityTables(quality, true));
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  return Ok;
}

}  // namespace

void AddQualityCommand(CLI::App& app, CommandList& commands) {
  auto o = std::make_shared<QualityCommandOptions>();
  auto* quality = app.add_subcommand("quality", "voltage quality of a recording against EN 50160");
  quality->add_option("file", o->File, "measurement file (its continuation files follow) or saved list")->required();
  quality->add_flag("--single", o->Single, "the file alone, without its continuation files");
  quality->add_option("--nominal", o->Nominal, "declared nominal voltage in V (else the nearest standard one)")
      ->check(CLI::Validator(
          [](std::string& text) {
            char* end = nullptr;
            const double v = std::strtod(text.c_str(), &end);
            return end != text.c_str() && *end == '\0' && std::isfinite(v) && v > 0 ? std::string()
                                                                                    : "not a number above 0";
          },
          "V>0"));
  quality->add_flag("--line-voltages", o->LineVoltages, "V1..V3 are line-to-line magnitudes");
  quality->add_option("--format", o->Format, "text or json")
      ->check(CLI::IsMember({"text", "json"}))
      ->capture_default_str();
  commands.push_back({quality, [o] { return RunQuality(*o); }});
}

}  // namespace qelt::cli
