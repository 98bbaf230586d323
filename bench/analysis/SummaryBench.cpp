// Speed and memory of the summary: a recording of 1 000 000 records at 1 s in
// 100 files (a measurement file and 99 continuation files), summarised as
// "qelt-cli summary" does it. Prints the seconds and the peak resident
// memory after 10 and after 100 files; target under 2 s, memory flat.
// `bench_summary [FOLDER]` keeps the recording in FOLDER (written when its
// first file is missing).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/Summary.hpp"
#include "support/BenchSupport.hpp"

using namespace qelt;
using bench::CpuSeconds;
using bench::PeakKiB;

namespace {

constexpr int Files = 100;

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
    bench::WriteRecording(first, Files);
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
