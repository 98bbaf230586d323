#pragma once
// PC sampling and recording state for the whole run.
#include <cstdint>
#include <string>

namespace qelt {

struct RecorderState {
  int SampleTime = 2;  // sampling interval in whole seconds, 1..86400
  // Ticks of Timer2 since the last sample; 0 makes the next tick sample. Kept
  // wider than 16 bits so that intervals above 32767 s still count up to SampleTime.
  int SampleTick = 0;

  bool Recording = false;
  std::string RecFileName;  // full path chosen in the last save dialog
  // Records written in the current recording over all its files. Whole
  // numbers, written as plain digits however many there are.
  std::int64_t RecCount = 0;
  int RecPart = 0;  // current continuation file; 0 = the file the user chose

  bool ListActive = false;     // the live list is open and takes samples
  std::int64_t ListCount = 0;  // samples added to the live list

  // Samples are taken only from a reading newer than the one behind the last
  // record and the last list row; a sampling tick without one is skipped
  // (while the link is lost the labels keep the last reading).
  std::uint64_t RecordedSerial = 0;
  std::int64_t SkippedRecords = 0;  // in the current recording
  std::uint64_t ListedSerial = 0;
  std::int64_t SkippedListRows = 0;  // in the open live list

  bool DialogOK = false;  // the last save dialog ended with a file

  // Records of the file list last sent to "Plot" (rows minus the title row).
  float PlotRecordCount = 0;
};

}  // namespace qelt
