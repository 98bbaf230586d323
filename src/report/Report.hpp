#pragma once
// The PDF report of a recording or of list rows: page 1 the summary, two
// pages of trend plots, the voltage quality, then a page per harmonic file. Reading the records is
// apart from drawing, so that a window can read on a worker thread; the
// drawing uses QtGui and QCustomPlot on a QPdfWriter, needs a QApplication (on
// the offscreen platform where there is no display) and runs on its thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Quality.hpp"
#include "analysis/Summary.hpp"
#include "platform/GridRows.hpp"
#include "platform/Host.hpp"
#include "report/HarmonicReport.hpp"
#include "report/TrendData.hpp"
#include "text/Result.hpp"

namespace qelt {

struct ReportHarmonicFile {
  std::string Path;
  int Hz = 60;  // 50: a file of 64 or more samples is one 50 Hz cycle as it stands
  LimitChoice Limits{LimitStandard::En50160, 0};
};

struct ReportRequest {
  std::vector<std::string> Files;      // a recording's files in reading order
  std::vector<const GridRows*> Grids;  // or the rows of list windows (row 0 the titles); used when not empty
  std::vector<std::string> Names;      // named in the footer; empty: the files
  std::string Title;                   // empty: the first name without its folder
  int DemandMinutes = 15;              // 1..1440
  std::vector<ReportHarmonicFile> Harmonics;
  DateTime Made;              // in the footer
  bool LineVoltages = false;  // V1..V3 are line-to-line magnitudes (the wiring is known to be 3P3W)
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

struct ReportWritten {
  int Pages = 0;
  std::int64_t Records = 0;
  std::int64_t Bytes = 0;  // of the PDF
};

// What was written, or why not; the kind beside it, for exit codes and the
// window's messages.
struct ReportOutcome {
  ReportError Error = ReportError::None;
  Result<ReportWritten> Written = ReportWritten{};
};

// Percent done, 0..100; returning false stops the report and writes nothing.
using ReportProgress = std::function<bool(int percent)>;

// Pages a report of this many harmonic files has.
int ReportPages(int harmonicFiles);

// What the pages show, read from the files or rows.
struct ReportContents {
  Summary Figures;
  std::optional<TrendBuilder> Trends;
  Quality Voltage;
  std::vector<HarmonicReport> Harmonics;
  std::string Title;
  std::vector<std::string> Names;
  DateTime Made;
};

struct ReportReading {
  ReportOutcome Outcome;  // Pages and Bytes still 0
  ReportContents Contents;
};

// Whether a PDF can be written under out, else why not; nothing is left behind.
Result<> CheckWritable(const std::string& out);

// Reads the harmonic files and the records (progress 0..90). Any thread.
ReportReading ReadReport(const ReportRequest& request, const ReportProgress& progress = {});

// Draws the pages and writes them to out whole or not at all (progress
// 92..100). The application's thread.
ReportOutcome DrawReport(const ReportContents& contents, const std::string& out, const ReportProgress& progress = {});

// Reads and draws: writes the report into out whole or not at all: a report that fails or is
// stopped leaves a file already there under that name as it was.
ReportOutcome WriteReport(const ReportRequest& request, const std::string& out, const ReportProgress& progress = {});

}  // namespace qelt
