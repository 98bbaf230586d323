#pragma once
// From the instrument's samples to the spectrum: decoding, one cycle on 64
// points, offset removal and normalisation, and the sums per order. Each step
// writes the arrays and lists of HarmonicState that later steps read.
#include <string>
#include <string_view>
#include <vector>

#include "session/HarmonicState.hpp"

namespace qelt {

inline constexpr int ReplySampleCount = 81;
inline constexpr int CyclePoints = 64;
inline constexpr int Samples60Hz = 54;
inline constexpr int HighestOrder = 31;

// A signed 24-bit sample, most significant byte first.
double DecodeSample(unsigned b1, unsigned b2, unsigned b3);

// Header rows of the four lists ("No.s", "Value" for Grid and GridK).
void StartHarmonicLists(HarmonicState& state);

// The 243-byte reply into RawSamples, then one cycle into ShownSamples,
// Grid54 and CycleSamples: at "50Hz" the first 64 samples as they are,
// otherwise the first 54 stretched over 64 points.
void TakeReply(HarmonicState& state, std::string_view reply, const std::string& hzText);

// How a file's samples become the cycle.
enum class FileCycle {
  Stretch54,  // the first 54 samples stretched over 64 points, inner points to three decimals
  Whole64,    // the first 64 samples as they are (a 50 Hz cycle)
};
// Sample rows needed for the mode.
int SamplesNeeded(FileCycle mode);
// Grid54 becomes the file's rows; ShownSamples, CycleSamples and Grid64 follow.
// rows must hold at least SamplesNeeded(mode) entries.
void TakeFileRows(HarmonicState& state, const std::vector<std::string>& rows, FileCycle mode);

// CenteredSamples, NormSamples and Grid. The mid-range comes from a search
// that starts at 0. A cycle without a positive peak is divided by its largest
// magnitude; a flat one reads 0.0000 throughout.
void Normalise(HarmonicState& state);

// HarmonicRe, HarmonicIm and HarmonicAmp for orders 1..31 over CycleSamples.
void Spectrum(HarmonicState& state);

// GridK: one row per order with the magnitude's shortest text.
void ListMagnitudes(HarmonicState& state);

// The 64 texts of Grid column 1, as the waveform view draws them.
std::vector<std::string> CycleTexts(const HarmonicState& state);

}  // namespace qelt
