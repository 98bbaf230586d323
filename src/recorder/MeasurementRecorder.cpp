#include "recorder/MeasurementRecorder.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "recorder/MeasurementFile.hpp"

namespace qelt {
namespace {

bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  // Pipes and character devices cannot be synced; what matters is that the
  // bytes left the program.
  return fsync(fileno(file)) == 0 || errno == EINVAL || errno == EROFS;
#endif
}

}  // namespace

std::string RecorderFault::Message() const {
  return std::string(Creating ? "The recording file cannot be created:" : "The recording file cannot be written:") +
         "\r\n" + File + "\r\n" + Reason + "\r\nRecording stopped.";
}

MeasurementRecorder::~MeasurementRecorder() { Close(); }

bool MeasurementRecorder::Start(const std::string& path, RecorderFault& fault) {
  if (state_.Recording) Stop();
  state_.RecFileName = path;
  state_.RecCount = 0;
  state_.RecPart = 0;
  state_.SkippedRecords = 0;
  if (!Open(path, fault)) return false;
  state_.Recording = true;
  return true;
}

void MeasurementRecorder::Stop() {
  state_.Recording = false;
  state_.RecCount = 0;
  Close();
  state_.DialogOK = false;
}

bool MeasurementRecorder::Write(std::string_view sampleLine, RecorderFault& fault) {
  if (!state_.Recording) return false;
  if (state_.RecCount != 0 && state_.RecCount % RecordsPerFile == 0) {
    Close();
    ++state_.RecPart;
    if (!Open(ContinuationName(state_.RecFileName, state_.RecPart), fault)) {
      Stop();
      return false;
    }
  }
  ++state_.RecCount;
  std::string line = RecordLine(state_.RecCount, sampleLine);
  line += "\r\n";
  if (!Put(line, fault)) {
    Stop();
    return false;
  }
  return true;
}

bool MeasurementRecorder::Open(const std::string& path, RecorderFault& fault) {
  currentFile_ = path;
  written_ = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    fault = {path, std::strerror(errno), true};
    return false;
  }
  return Put(HeaderLine() + "\r\n", fault);
}

bool MeasurementRecorder::Put(std::string_view text, RecorderFault& fault) {
  errno = 0;
  bool ok = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
  ok = std::fflush(file_) == 0 && ok;
  if (ok && sync_) ok = SyncToDisk(file_);
  if (!ok) {
    fault = {currentFile_, errno != 0 ? std::strerror(errno) : "write error", false};
    Close();
    // A full disk or a size limit may have taken part of the line: cut the
    // file back to its last whole line, so no reader lists a cut record.
    std::error_code ec;
    std::filesystem::resize_file(currentFile_, written_, ec);
    return false;
  }
  written_ += text.size();
  return true;
}

void MeasurementRecorder::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace qelt
