#pragma once
// The harmonic analysis as last acquired or opened: the sample arrays, the
// lists of the acquisition window and the state of its "OK" command.
#include <array>
#include <optional>
#include <string>

#include "platform/GridRows.hpp"
#include "platform/Host.hpp"

namespace qelt {

struct HarmonicState {
  using Samples = std::array<double, 256>;

  Samples RawSamples{};                  // 0..80: the decoded reply
  Samples ShownSamples{};                // 0..53 or 0..63: the samples listed in Grid54
  Samples CycleSamples{};                // 0..63: one cycle on 64 points
  Samples CenteredSamples{};             // 0..63: minus the mid-range value
  Samples NormSamples{};                 // 0..63: divided by the peak
  Samples HarmonicRe{};                  // 1..31: cosine sums
  Samples HarmonicIm{};                  // 1..31: negated sine sums
  std::array<float, 256> HarmonicAmp{};  // 1..31: magnitudes

  // The lists of the acquisition window; row 0 is the header row.
  GridRows Grid54{2};  // samples of one cycle as received or opened
  GridRows Grid{2};    // the 64 normalised points
  GridRows Grid64{2};  // the 64-point cycle after an open
  GridRows GridK{2};   // magnitudes per order after an open

  bool Busy = false;  // an "OK" runs
  std::string LastPhase, LastMultiply, LastVI;

  // What the last analysis came from, for the name "Save" proposes: the
  // request letter ('\0' after an open) and the line frequency text.
  char LastLetter = '\0';
  std::string LastHz;

  // For the printouts' heading and the analysis view: the frequency item the
  // last analysis took, when it was made, the file it came from (after an
  // open), and what disagrees with the instrument's own frequency reading.
  std::string AnalysisHz;
  std::optional<DateTime> AnalysedAt;
  std::string AnalysisFile;
  std::string FrequencyNote;
};

}  // namespace qelt
