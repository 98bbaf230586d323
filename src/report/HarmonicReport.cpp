#include "report/HarmonicReport.hpp"

#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicFile.hpp"

namespace qelt {

HarmonicReportRead ReadHarmonicReport(const std::string& path, int hz) {
  HarmonicReportRead read;
  read.Report.Path = path;
  read.Report.Hz = hz;
  HarmonicFileRead file = ReadHarmonicFile(path);
  if (!file.Ok) {
    read.Error = HarmonicReportError::Unreadable;
    read.Reason = file.Reason;
    return read;
  }
  const int rows = static_cast<int>(file.Rows.size());
  read.Report.SampleLines = rows;
  read.Report.Mode = CycleModeFor(hz == 50 ? "50Hz" : "60Hz", rows);
  if (rows < SamplesNeeded(read.Report.Mode)) {
    read.Error = HarmonicReportError::TooShort;
    read.Reason = "it holds " + std::to_string(rows) + " sample lines; " +
                  std::to_string(SamplesNeeded(read.Report.Mode)) + " are needed";
    return read;
  }
  HarmonicState state;
  StartHarmonicLists(state);
  TakeFileRows(state, file.Rows, read.Report.Mode);
  AnalyseCycle(state, true);
  read.Report.Figures = ComputeFigures(state);
  read.Report.Cycle = CycleTexts(state);
  return read;
}

std::string HarmonicCycleText(const HarmonicReport& r) {
  const std::string lines = " (" + std::to_string(r.SampleLines) + " sample lines in the file)";
  if (r.Mode == FileCycle::Whole64) return "50 Hz: the first 64 samples as one cycle" + lines;
  return std::to_string(r.Hz) + " Hz: the first 54 samples stretched over one cycle of 64 points" + lines;
}

}  // namespace qelt
