// Speed and memory of the summary: a recording of 1 000 000 records at 1 s in
// 100 files (a measurement file and 99 continuation files), summarised as
// "qelt-cli summary" does it. Prints the seconds and the peak resident
// memory after 10 and after 100 files; target under 2 s, memory flat.
// `bench_summary [FOLDER]` keeps the recording in FOLDER (written when its
// first file is missing).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/Summary.hpp"
#include "recorder/MeasurementFile.hpp"

using namespace qelt;

namespace {

constexpr int Files = 100;

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string Text(double value, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, decimals == 3 ? "%.3f" : "%05.1f", value);
  return buf;
}

// A load that wanders through the day, with an over-range now and then.
void WriteRecording(const std::string& first) {
  std::int64_t n = 0;
  for (int part = 0; part < Files; ++part) {
    std::ofstream out(part == 0 ? first : ContinuationName(first, part), std::ios::binary);
    out << HeaderLine() << "\r\n";
    for (int k = 0; k < RecordsPerFile; ++k, ++n) {
      const std::int64_t t = n;
      const DateTime when{2026,
                          3,
                          1 + static_cast<int>(t / 86400),
                          static_cast<int>(t / 3600 % 24),
                          static_cast<int>(t / 60 % 60),
                          static_cast<int>(t % 60)};
      ValueTexts v;
      for (int q = 0; q < QuantityCount; ++q) {
        const double base = IsThreeDecimal(q) ? 0.95 : 100.0 + q;
        const double wobble = static_cast<double>((n * 7 + q * 13) % 100) / (IsThreeDecimal(q) ? 2000.0 : 10.0);
        v[static_cast<std::size_t>(q)] = Text(base + wobble, IsThreeDecimal(q) ? 3 : 1);
      }
      if (n % 5000 == 17) v[6] = "OL";
      out << RecordLine(n + 1, SampleLine(when, v)) << "\r\n";
    }
  }
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall-clock seconds; cpu gets the processor seconds (the machine may be shared).
double Seconds(const std::vector<std::string>& files, Summary& summary, double& cpu) {
  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  summary = Summarize(files);
  cpu = CpuSeconds() - cpuStart;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "qelt-summary-bench";
  std::filesystem::create_directories(folder);
  const std::string first = (folder / "week.mes").string();
  if (!std::filesystem::exists(first)) {
    std::printf("writing %d files of %d records into %s\n", Files, RecordsPerFile, folder.string().c_str());
    WriteRecording(first);
  }
  std::printf("peak resident memory before: %ld KiB\n", PeakKiB());
  std::vector<std::string> files = RecordingFiles(first);
  Summary summary;
  const std::vector<std::string> tenth(files.begin(), files.begin() + std::min<std::size_t>(10, files.size()));
  double cpu = 0;
  const double small = Seconds(tenth, summary, cpu);
  std::printf("%lld records in %zu files: %.3f s (%.3f s of processor), peak resident memory %ld KiB\n",
              static_cast<long long>(summary.Records), tenth.size(), small, cpu, PeakKiB());
  const double all = Seconds(files, summary, cpu);
  std::printf(
      "%lld records in %zu files: %.3f s (%.3f s of processor), peak resident memory %ld KiB (target under 2 s, "
      "flat)\n",
      static_cast<long long>(summary.Records), files.size(), all, cpu, PeakKiB());
  std::printf("peak demand %.3f kW, energy %.3f kWh, bad rows %lld\n", summary.Demand.PeakKW.value_or(0),
              summary.Energy.KWhImport, static_cast<long long>(summary.BadRows));
  if (argc <= 1) std::filesystem::remove_all(folder);
  return summary.Records == static_cast<std::int64_t>(files.size()) * RecordsPerFile ? 0 : 1;
}
