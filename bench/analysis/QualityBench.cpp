// Speed and memory of the voltage-quality assessment: a week at 1 s
// (604 800 records in 61 files), assessed as "qelt-cli quality" does it.
// Prints the seconds and the peak resident memory after 7 and after 61
// files; target under 2 s, memory flat. `bench_quality [FOLDER]` keeps the
// recording in FOLDER (written when its first file is missing).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "analysis/Quality.hpp"
#include "support/BenchSupport.hpp"

using namespace qelt;
using bench::CpuSeconds;
using bench::PeakKiB;

namespace {

constexpr int Files = 61;
constexpr std::int64_t Week = 7 * 86400;

double Seconds(const std::vector<std::string>& files, Quality& quality, double& cpu, const QualityOptions& options) {
  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  quality = AssessQuality(files, options);
  cpu = CpuSeconds() - cpuStart;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Print(const Quality& q, std::size_t files, double wall, double cpu) {
  std::printf("%lld records in %zu files: %.3f s (%.3f s of processor), peak resident memory %ld KiB\n",
              static_cast<long long>(q.Records), files, wall, cpu, PeakKiB());
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "qelt-quality-bench";
  std::filesystem::create_directories(folder);
  const std::string first = (folder / "week.mes").string();
  if (!std::filesystem::exists(first)) {
    std::printf("writing a week at 1 s in %d files into %s\n", Files, folder.string().c_str());
    bench::WriteRecording(first, Files, Week);
  }
  std::printf("peak resident memory before: %ld KiB\n", PeakKiB());
  const std::vector<std::string> files = RecordingFiles(first);
  const std::vector<std::string> few(files.begin(), files.begin() + std::min<std::size_t>(7, files.size()));
  // Declared 110 V, the recording's 105..115 V hold no event: what stays is
  // the blocks. At the nearest standard voltage, 120 V, its voltages dip
  // below 90 % every few minutes: tens of thousands of events are kept too.
  Quality quality;
  for (const double declared : {110.0, 0.0}) {
    QualityOptions options;
    if (declared > 0) options.NominalV = declared;
    double cpu = 0;
    const double small = Seconds(few, quality, cpu, options);
    Print(quality, few.size(), small, cpu);
    const double all = Seconds(files, quality, cpu, options);
    Print(quality, files.size(), all, cpu);
    std::printf("(target under 2 s, memory flat) Un %.0f V, %lld valid blocks, %zu events, verdict %s\n\n",
                quality.NominalV.value_or(0), static_cast<long long>(quality.ValidBlocks), quality.Events.size(),
                QualityVerdictName(quality.Verdict));
  }
  if (argc <= 1) std::filesystem::remove_all(folder);
  return quality.Records == Week ? 0 : 1;
}
