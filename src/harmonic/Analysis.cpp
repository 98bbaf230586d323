#include "harmonic/Analysis.hpp"

#include <array>
#include <cmath>
#include <cstdlib>

#include "text/NumberText.hpp"

namespace qelt {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

// Samples are whole numbers; a file may hold others, written as read.
std::string SampleText(double value) {
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return std::to_string(static_cast<long long>(value));
  return GeneralNumber(value);
}

void AddRow(GridRows& grid, int number, const std::string& text) { grid.AddRow(std::to_string(number) + "\t" + text); }

double Stretched(const HarmonicState& s, int j) {
  const double x = j * 53.0 / 63.0;
  const int k = static_cast<int>(x);
  return s.ShownSamples[At(k)] + (x - k) * (s.ShownSamples[At(k + 1)] - s.ShownSamples[At(k)]);
}

}  // namespace

double DecodeSample(unsigned b1, unsigned b2, unsigned b3) {
  long value = static_cast<long>(b1) * 65536L + static_cast<long>(b2) * 256L + static_cast<long>(b3);
  if (b1 >= 128) value -= 16777216L;
  return static_cast<double>(value);
}

void StartHarmonicLists(HarmonicState& state) {
  for (GridRows* grid : {&state.Grid54, &state.Grid, &state.Grid64, &state.GridK}) grid->SetRows(1);
  state.Grid.SetCell(0, 0, "No.s");
  state.Grid.SetCell(0, 1, "Value");
  state.GridK.SetCell(0, 0, "No.s");
  state.GridK.SetCell(0, 1, "Value");
}

void TakeReply(HarmonicState& state, std::string_view reply, const std::string& hzText) {
  for (int i = 0; i < ReplySampleCount; ++i) {
    const std::size_t b = At(3 * i);
    state.RawSamples[At(i)] = b + 2 < reply.size() ? DecodeSample(static_cast<unsigned char>(reply[b]),
                                                                  static_cast<unsigned char>(reply[b + 1]),
                                                                  static_cast<unsigned char>(reply[b + 2]))
                                                   : 0.0;
  }
  state.Grid54.SetRows(1);
  const bool hz50 = hzText == "50Hz";
  const int shown = hz50 ? CyclePoints : Samples60Hz;
  for (int i = 0; i < shown; ++i) {
    state.ShownSamples[At(i)] = state.RawSamples[At(i)];
    AddRow(state.Grid54, i + 1, SampleText(state.ShownSamples[At(i)]));
  }
  if (hz50) {
    for (int j = 0; j < CyclePoints; ++j) state.CycleSamples[At(j)] = state.RawSamples[At(j)];
    return;
  }
  state.CycleSamples[0] = state.RawSamples[0];
  for (int j = 1; j <= 62; ++j) state.CycleSamples[At(j)] = Stretched(state, j);
  state.CycleSamples[63] = state.ShownSamples[53];
}

int SamplesNeeded(FileCycle mode) { return mode == FileCycle::Whole64 ? CyclePoints : Samples60Hz; }

void TakeFileRows(HarmonicState& state, const std::vector<std::string>& rows, FileCycle mode) {
  state.Grid54.SetRows(1);
  for (const std::string& row : rows) state.Grid54.AddRow(row);
  const int needed = SamplesNeeded(mode);
  for (int i = 1; i <= needed; ++i) state.ShownSamples[At(i - 1)] = NumericPrefix(state.Grid54.Cell(i, 1));

  state.Grid64.SetRows(1);
  if (mode == FileCycle::Whole64) {
    for (int j = 0; j < CyclePoints; ++j) {
      state.CycleSamples[At(j)] = state.ShownSamples[At(j)];
      AddRow(state.Grid64, j + 1, SampleText(state.CycleSamples[At(j)]));
    }
    return;
  }
  state.CycleSamples[0] = state.ShownSamples[0];
  AddRow(state.Grid64, 1, SampleText(state.CycleSamples[0]));
  for (int j = 1; j <= 62; ++j) {
    // The listed three-decimal text is the value the analysis goes on with.
    const std::string text = FormatPattern(Stretched(state, j), "0.000");
    state.CycleSamples[At(j)] = NumericPrefix(text);
    AddRow(state.Grid64, j + 1, text);
  }
  state.CycleSamples[63] = state.ShownSamples[53];
  AddRow(state.Grid64, 64, SampleText(state.CycleSamples[63]));
}

void Normalise(HarmonicState& state) {
  double max = 0, min = 0;
  for (int i = 0; i < CyclePoints; ++i) {
    const double v = state.CycleSamples[At(i)];
    if (v > max) max = v;
    if (v < min) min = v;
  }
  const double mid = (max + min) / 2;
  double peak = 0, largest = 0;
  for (int i = 0; i < CyclePoints; ++i) {
    const double c = state.CycleSamples[At(i)] - mid;
    state.CenteredSamples[At(i)] = c;
    if (c > peak) peak = c;
    largest = std::max(largest, std::fabs(c));
  }
  const double divisor = peak > 0 ? peak : largest;
  state.Grid.SetRows(1);
  for (int i = 0; i < CyclePoints; ++i) {
    // 0 / 0 would be NaN: a flat cycle is 0 everywhere.
    const double n = divisor > 0 ? state.CenteredSamples[At(i)] / divisor : 0.0;
    state.NormSamples[At(i)] = n;
    AddRow(state.Grid, i + 1, FormatPattern(n, "0.0000"));
  }
}

namespace {

// cos and sin of every angle the sums use, computed once: the same angles in
// the same order of multiplication, so the sums are the same to the bit.
struct AngleTable {
  std::array<std::array<double, CyclePoints>, HighestOrder + 1> Cos{}, Sin{};
  AngleTable() {
    const double c = 2 * 3.14159265358979 / 64;
    for (int h = 1; h <= HighestOrder; ++h)
      for (int n = 0; n < CyclePoints; ++n) {
        const double a = (c * h) * n;
        Cos[At(h)][At(n)] = std::cos(a);
        Sin[At(h)][At(n)] = std::sin(a);
      }
  }
};

}  // namespace

void Spectrum(HarmonicState& state) {
  static const AngleTable table;
  for (int h = 1; h <= HighestOrder; ++h) {
    double re = 0, im = 0;
    const auto& cosines = table.Cos[At(h)];
    const auto& sines = table.Sin[At(h)];
    for (int n = 0; n < CyclePoints; ++n) {
      re = re + state.CycleSamples[At(n)] * cosines[At(n)];
      im = im + (-state.CycleSamples[At(n)]) * sines[At(n)];
    }
    state.HarmonicRe[At(h)] = re;
    state.HarmonicIm[At(h)] = im;
    state.HarmonicAmp[At(h)] = static_cast<float>(std::pow(re * re + im * im, 0.5));
  }
}

void ListMagnitudes(HarmonicState& state) {
  state.GridK.SetRows(1);
  for (int h = 1; h <= HighestOrder; ++h) AddRow(state.GridK, h, ShortestSingle(state.HarmonicAmp[At(h)]));
}

std::vector<std::string> CycleTexts(const HarmonicState& state) {
  std::vector<std::string> texts;
  texts.reserve(CyclePoints);
  for (int i = 1; i <= CyclePoints; ++i) texts.emplace_back(state.Grid.Cell(i, 1));
  return texts;
}

}  // namespace qelt
