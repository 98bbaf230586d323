#pragma once
// A harmonic file as a report's page shows it: the file's cycle through the
// same chain as the harmonic window's "Open", then its figures and the
// normalised cycle. Qt-free.
#include <string>
#include <vector>

#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "harmonic/HarmonicLimits.hpp"
#include "text/Result.hpp"

namespace qelt {

struct HarmonicReport {
  std::string Path;
  int Hz = 60;
  FileCycle Mode = FileCycle::Stretch54;
  int SampleLines = 0;  // in the file
  HarmonicFigures Figures;
  std::vector<std::string> Cycle;  // the 64 normalised point texts, as the waveform view draws them
  LimitVerdict Limits;             // Choice None: the page shows no limits
};

enum class HarmonicReportError { None, Unreadable, TooShort };

// The report, or why not; the kind beside it for the caller's exit code.
struct HarmonicReportRead {
  HarmonicReportError Error = HarmonicReportError::None;
  Result<HarmonicReport> Report;
};

// hz: 50 takes a file of 64 or more sample lines as one 50 Hz cycle as it
// stands; otherwise (and at 60) the first 54 samples are stretched over the
// cycle, as the window does with its frequency choice.
// The figures are judged against limits.
HarmonicReportRead ReadHarmonicReport(const std::string& path, int hz, const LimitChoice& limits = {});

// A page's limits when none are asked for: EN 50160 for a voltage; none for a
// file that "Save" named after a current ("... Current 60Hz.txt"), whose
// IEEE 519 limits need the ISC/IL ratio.
LimitChoice DefaultReportLimits(const std::string& path);

// "50 Hz: the first 64 samples as one cycle (64 sample lines in the file)"
std::string HarmonicCycleText(const HarmonicReport& report);

}  // namespace qelt
