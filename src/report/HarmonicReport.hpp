#pragma once
// A harmonic file as a report's page shows it: the file's cycle through the
// same chain as the harmonic window's "Open", then its figures and the
// normalised cycle. Qt-free.
#include <string>
#include <vector>

#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"

namespace qelt {

struct HarmonicReport {
  std::string Path;
  int Hz = 60;
  FileCycle Mode = FileCycle::Stretch54;
  int SampleLines = 0;  // in the file
  HarmonicFigures Figures;
  std::vector<std::string> Cycle;  // the 64 normalised point texts, as the waveform view draws them
};

enum class HarmonicReportError { None, Unreadable, TooShort };

struct HarmonicReportRead {
  HarmonicReportError Error = HarmonicReportError::None;
  std::string Reason;
  HarmonicReport Report;
};

// hz: 50 takes a file of 64 or more sample lines as one 50 Hz cycle as it
// stands; otherwise (and at 60) the first 54 samples are stretched over the
// cycle, as the window does with its frequency choice.
HarmonicReportRead ReadHarmonicReport(const std::string& path, int hz);

// "50 Hz: the first 64 samples as one cycle (64 sample lines in the file)"
std::string HarmonicCycleText(const HarmonicReport& report);

}  // namespace qelt
