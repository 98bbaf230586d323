#include "report/HarmonicReport.hpp"

#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicFile.hpp"

namespace qelt {

HarmonicReportRead ReadHarmonicReport(const std::string& path, int hz, const LimitChoice& limits) {
  HarmonicFileRead file = ReadHarmonicFile(path);
  if (!file.Ok) return {HarmonicReportError::Unreadable, Fail(file.Reason)};
  HarmonicReport report;
  report.Path = path;
  report.Hz = hz;
  const int rows = static_cast<int>(file.Rows.size());
  report.SampleLines = rows;
  report.Mode = CycleModeFor(hz == 50 ? "50Hz" : "60Hz", rows);
  if (rows < SamplesNeeded(report.Mode))
    return {HarmonicReportError::TooShort, Fail("it holds " + std::to_string(rows) + " sample lines; " +
                                                std::to_string(SamplesNeeded(report.Mode)) + " are needed")};
  HarmonicState state;
  StartHarmonicLists(state);
  TakeFileRows(state, file.Rows, report.Mode);
  AnalyseCycle(state, true);
  report.Figures = ComputeFigures(state);
  report.Cycle = CycleTexts(state);
  report.Limits = JudgeFigures(report.Figures, limits);
  return {HarmonicReportError::None, std::move(report)};
}

LimitChoice DefaultReportLimits(const std::string& path) {
  const std::string name = path.substr(path.find_last_of("/\\") + 1);
  if (name.find("Current") != std::string::npos) return {};
  return {LimitStandard::En50160, 0};
}

std::string HarmonicCycleText(const HarmonicReport& r) {
  const std::string lines = " (" + std::to_string(r.SampleLines) + " sample lines in the file)";
  if (r.Mode == FileCycle::Whole64) return "50 Hz: the first 64 samples as one cycle" + lines;
  return std::to_string(r.Hz) + " Hz: the first 54 samples stretched over one cycle of 64 points" + lines;
}

}  // namespace qelt
