// A harmonic file's bytes through the open chain: no crash, the rows the
// fields make, and every text of the lists and figures well formed whatever
// numbers the file holds (huge, tiny, not numbers at all).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "harmonic/HarmonicFile.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view content(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> rows = qelt::HarmonicFileFields(content);
  for (const std::string& row : rows) Check(row.find_first_of("\r\n,") == std::string::npos);
  for (qelt::FileCycle mode : {qelt::FileCycle::Stretch54, qelt::FileCycle::Whole64}) {
    if (static_cast<int>(rows.size()) < qelt::SamplesNeeded(mode)) continue;
    qelt::HarmonicState state;
    qelt::StartHarmonicLists(state);
    qelt::TakeFileRows(state, rows, mode);
    qelt::Normalise(state);
    qelt::Spectrum(state);
    qelt::ListMagnitudes(state);
    Check(state.Grid.Rows() == 65 && state.Grid64.Rows() == 65 && state.GridK.Rows() == 32);
    const qelt::HarmonicFigures f = qelt::ComputeFigures(state);
    for (int h = 1; h <= 31; ++h) Check(!f.OrdText[static_cast<std::size_t>(h)].empty());
    Check(!qelt::FiguresReport(f).empty());
  }
  return 0;
}
