// The acquisition's reply on any bytes (the 243 bytes as they should come,
// shorter and longer ones too): every sample a signed 24-bit whole number,
// the cycle within the samples it comes from, the normalised points within
// -1..1, the spectrum finite, and every list and figure text well formed.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "link/Commands.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool WholeText(std::string_view t) {
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
  // Mostly the reply's own length, as the acquisition hands it on.
  if ((data[0] & 0x80) == 0) reply.resize(qelt::cmd::WaveReplySize, '\0');
  const std::string hz = (data[0] & 1) ? "50Hz" : (data[0] & 2) ? "60Hz" : "";

  for (std::size_t b = 0; b + 2 < reply.size() && b < 30; b += 3) {
    const auto u = [&](std::size_t i) { return static_cast<unsigned char>(reply[i]); };
    const std::int32_t expected = static_cast<std::int32_t>((u(b) << 24) | (u(b + 1) << 16) | (u(b + 2) << 8)) / 256;
    Check(qelt::DecodeSample(u(b), u(b + 1), u(b + 2)) == static_cast<double>(expected));
  }

  qelt::HarmonicState state;
  qelt::StartHarmonicLists(state);
  qelt::TakeReply(state, reply, hz);
  const int shown = hz == "50Hz" ? qelt::CyclePoints : qelt::Samples60Hz;
  Check(state.Grid54.Rows() == shown + 1);
  double low = 0, high = 0;
  for (int i = 0; i < qelt::ReplySampleCount; ++i) {
    const double s = state.RawSamples[static_cast<std::size_t>(i)];
    Check(s == std::trunc(s) && s >= -8388608.0 && s <= 8388607.0);
    if (3 * static_cast<std::size_t>(i) + 2 >= reply.size()) Check(s == 0.0);
  }
  for (int i = 0; i < shown; ++i) {
    const double s = state.ShownSamples[static_cast<std::size_t>(i)];
    low = std::min(low, s);
    high = std::max(high, s);
    Check(WholeText(state.Grid54.Cell(i + 1, 1)));
  }
  for (int j = 0; j < qelt::CyclePoints; ++j) {
    const double c = state.CycleSamples[static_cast<std::size_t>(j)];
    Check(std::isfinite(c) && c >= low && c <= high);
  }

  qelt::Normalise(state);
  Check(state.Grid.Rows() == qelt::CyclePoints + 1);
  // The mid-range search starts at 0, so only a cycle that reaches 0 from
  // both sides is sure to land within -1..1; one wholly below 0 may go past
  // -1 (a cycle with an offset, not a mains wave).
  const auto [lowest, highest] =
      std::minmax_element(state.CycleSamples.begin(), state.CycleSamples.begin() + qelt::CyclePoints);
  const bool spansZero = *lowest <= 0 && *highest >= 0;
  for (int j = 0; j < qelt::CyclePoints; ++j) {
    const double n = state.NormSamples[static_cast<std::size_t>(j)];
    Check(std::isfinite(n));
    if (spansZero) Check(n >= -1.0 - 1e-12 && n <= 1.0 + 1e-12);
  }
  qelt::Spectrum(state);
  qelt::ListMagnitudes(state);
  Check(state.GridK.Rows() == qelt::HighestOrder + 1);
  for (int h = 1; h <= qelt::HighestOrder; ++h) {
    const float a = state.HarmonicAmp[static_cast<std::size_t>(h)];
    Check(std::isfinite(a) && a >= 0);
    Check(!state.GridK.Cell(h, 1).empty());
  }
  Check(qelt::CycleTexts(state).size() == static_cast<std::size_t>(qelt::CyclePoints));
  const qelt::HarmonicFigures f = qelt::ComputeFigures(state);
  for (int h = 1; h <= qelt::HighestOrder; ++h) Check(!f.OrdText[static_cast<std::size_t>(h)].empty());
  Check(!qelt::FiguresReport(f).empty());
  return 0;
}
