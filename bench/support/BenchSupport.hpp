#pragma once
// What the benchmarks share: processor seconds, peak resident memory and a
// long measurement recording to read.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "ProcessUsage.hpp"
#include "recorder/MeasurementFile.hpp"
#include "records/RecordingFiles.hpp"

namespace qelt::bench {

using test::CpuSeconds;
using test::PeakKiB;

// A recording of files x RecordsPerFile records at 1 s from 2026/03/01
// 00:00:00 (first, then its continuation files): a load that wanders through
// the day, with an over-range now and then. The last file ends at the
// limit-th record.
inline void WriteRecording(const std::string& first, int files, std::int64_t limit = INT64_MAX) {
  auto text = [](double value, bool three) {
    char buf[32];
    std::snprintf(buf, sizeof buf, three ? "%.3f" : "%05.1f", value);
    return std::string(buf);
  };
  std::int64_t n = 0;
  for (int part = 0; part < files; ++part) {
    std::ofstream out(part == 0 ? first : ContinuationName(first, part), std::ios::binary);
    out << HeaderLine() << "\r\n";
    for (int k = 0; k < RecordsPerFile && n < limit; ++k, ++n) {
      const DateTime when{2026,
                          3,
                          1 + static_cast<int>(n / 86400),
                          static_cast<int>(n / 3600 % 24),
                          static_cast<int>(n / 60 % 60),
                          static_cast<int>(n % 60)};
      ValueTexts v;
      for (int q = 0; q < QuantityCount; ++q) {
        const bool three = IsThreeDecimal(q);
        const double base = three ? 0.95 : 100.0 + q;
        const double wobble = static_cast<double>((n * 7 + q * 13) % 100) / (three ? 2000.0 : 10.0);
        v[static_cast<std::size_t>(q)] = text(base + wobble, three);
      }
      if (n % 5000 == 17) v[6] = "OL";
      out << RecordLine(n + 1, SampleLine(when, v)) << "\r\n";
    }
  }
}

}  // namespace qelt::bench
