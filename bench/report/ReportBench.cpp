// Speed, size and memory of the PDF report, as "qelt-cli report" writes it:
// of one file of 10 000 records and of a recording of 1 000 000 records in
// 100 files. Prints the seconds (reading and drawing apart), the PDF's bytes
// and the peak resident memory. Targets: under 3 s and under 15 s, under
// 1.5 MB for both. `bench_report [FOLDER]` keeps the recording in FOLDER
// (written when its first file is missing). Runs on the offscreen platform.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "report/Report.hpp"
#include "support/BenchSupport.hpp"

using namespace qelt;

namespace {

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Run(const std::vector<std::string>& files, const std::string& out, const char* target) {
  ReportRequest request;
  request.Files = files;
  request.Made = {2026, 12, 10, 12, 0, 0};
  const double cpu = bench::CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  ReportReading reading = ReadReport(request);
  const double read = Since(start);
  if (reading.Outcome.Error != ReportError::None) {
    std::printf("cannot read: %s\n", reading.Outcome.Written.Reason().c_str());
    return false;
  }
  const auto drawStart = std::chrono::steady_clock::now();
  const ReportOutcome outcome = DrawReport(reading.Contents, out);
  const double draw = Since(drawStart);
  if (outcome.Error != ReportError::None) {
    std::printf("cannot draw: %s\n", outcome.Written.Reason().c_str());
    return false;
  }
  std::printf(
      "%lld records in %zu files: %.2f s (reading %.2f s, drawing %.2f s; %.2f s of processor), %d pages, "
      "%lld bytes, peak resident memory %ld KiB (%s)\n",
      static_cast<long long>(outcome.Written->Records), files.size(), read + draw, read, draw,
      bench::CpuSeconds() - cpu, outcome.Written->Pages, static_cast<long long>(outcome.Written->Bytes),
      bench::PeakKiB(), target);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "qelt-report-bench";
  std::filesystem::create_directories(folder);
  const std::string first = (folder / "year.mes").string();
  constexpr int Files = 100;
  if (!std::filesystem::exists(first)) {
    std::printf("writing %d files of %d records into %s\n", Files, RecordsPerFile, folder.string().c_str());
    bench::WriteRecording(first, Files);
  }
  const std::vector<std::string> files = RecordingFiles(first);
  const std::string out = (folder / "report.pdf").string();
  const bool ok =
      Run({first}, out, "target under 3 s, under 1.5 MB") && Run(files, out, "target under 15 s, under 1.5 MB");
  if (argc <= 1) std::filesystem::remove_all(folder);
  return ok && files.size() == Files ? 0 : 1;
}
