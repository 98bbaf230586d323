#pragma once
// The recording file of a PC recording: header, numbered record lines and a
// continuation file every 10 000 records. Each record line reaches the file
// (flushed, and synced to the disk) before Write returns, so a crash or a
// power cut costs at most the line being written. A file that cannot be
// created or written stops the recording.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "session/RecorderState.hpp"

namespace qelt {

struct RecorderFault {
  std::string File;       // the file that failed
  std::string Reason;     // the system's reason ("Permission denied")
  bool Creating = false;  // the file could not be created (else: not written)

  // The text the user is shown.
  std::string Message() const;
};

class MeasurementRecorder {
 public:
  explicit MeasurementRecorder(RecorderState& state) : state_(state) {}
  ~MeasurementRecorder();
  MeasurementRecorder(const MeasurementRecorder&) = delete;
  MeasurementRecorder& operator=(const MeasurementRecorder&) = delete;

  // Sets RecFileName to path, opens it (replacing a file of that name),
  // writes the header and sets Recording; numbering starts at 1 again.
  // On failure nothing is recording and fault says why.
  bool Start(const std::string& path, RecorderFault& fault);

  // Clears Recording and RecCount, closes the file, clears DialogOK.
  void Stop();

  // The recording part of a sampling step: opens the next continuation file
  // when RecCount is a non-zero multiple of 10 000, counts the record and
  // writes RecCount, TAB, sampleLine, CR LF. On failure the recording is
  // stopped (as Stop) and fault names the file and the reason. Only while
  // Recording is set.
  bool Write(std::string_view sampleLine, RecorderFault& fault);

  // The file now being written (RecFileName or its current continuation).
  const std::string& CurrentFile() const { return currentFile_; }

  // Whether each line is also forced from the system's cache to the disk, so
  // that a power cut loses nothing written (on by default; off for tests
  // that write many thousand records).
  void SetSyncEachLine(bool sync) { sync_ = sync; }

 private:
  bool Open(const std::string& path, RecorderFault& fault);
  bool Put(std::string_view text, RecorderFault& fault);
  void Close();

  RecorderState& state_;
  std::FILE* file_ = nullptr;
  std::string currentFile_;
  std::uintmax_t written_ = 0;  // bytes of whole lines in the current file
  bool sync_ = true;
};

}  // namespace qelt
