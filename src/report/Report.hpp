#pragma once
// The PDF report of a recording or of list rows: page 1 the summary, two
// pages of trend plots, then a page per harmonic file. Drawn with QtGui and
// QCustomPlot onto a QPdfWriter; it needs a QApplication (on the offscreen
// platform where there is no display) and runs on that application's thread.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/GridRows.hpp"
#include "platform/Host.hpp"

namespace qelt {

struct ReportHarmonicFile {
  std::string Path;
  int Hz = 60;  // 50: a file of 64 or more samples is one 50 Hz cycle as it stands
};

struct ReportRequest {
  std::vector<std::string> Files;      // a recording's files in reading order
  std::vector<const GridRows*> Grids;  // or the rows of list windows (row 0 the titles); used when not empty
  std::vector<std::string> Names;      // named in the footer; empty: the files
  std::string Title;                   // empty: the first name without its folder
  int DemandMinutes = 15;              // 1..1440
  std::vector<ReportHarmonicFile> Harmonics;
  DateTime Made;  // in the footer
};

enum class ReportError {
  None,
  Unreadable,  // a file of the recording (Reason says which and why)
  NoRecords,   // not one record row
  HarmonicUnreadable,
  HarmonicTooShort,  // fewer samples than the cycle needs
  Unwritable,        // the PDF could not be written; no part of it is left
  Cancelled,
};

struct ReportOutcome {
  ReportError Error = ReportError::None;
  std::string Reason;
  int Pages = 0;
  std::int64_t Records = 0;
  std::int64_t Bytes = 0;  // of the PDF
};

// Percent done, 0..100; returning false stops the report and writes nothing.
using ReportProgress = std::function<bool(int percent)>;

// Pages a report of this many harmonic files has.
int ReportPages(int harmonicFiles);

// Writes the report into out whole or not at all: a report that fails or is
// stopped leaves a file already there under that name as it was.
ReportOutcome WriteReport(const ReportRequest& request, const std::string& out, const ReportProgress& progress = {});

}  // namespace qelt
