#pragma once
// A text print job on the printer chosen in the printer dialog. Qt-free, so
// that print runs can be tested with a recording job.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Dialogs.hpp"

namespace qelt {

// What a print knows before its first line, so that its pages fit and carry
// a header. The defaults print lines as they come, without a header.
struct PageSetup {
  std::string Title;       // file name or window caption; empty: no page header
  std::string Date;        // the print date, in the header
  std::string WidestLine;  // the lines are laid out so that this one fits the width
  long Lines = 0;          // lines to come, for "page n of m"
  // A dashed header line ("----Date---Time--KW1") printed at the top of
  // every page, under the page header; empty: none.
  std::string ColumnHeader;
  // The character cell of each title of ColumnHeader. Given, every line is
  // placed run by run at its character cells (a cell is as wide as a digit),
  // so that columns stay under their titles in a proportional font.
  std::vector<int> TitleCells;
  int LineCells = 0;  // cells of the widest line, for the page fit
};

// A text at a character cell of a printed line.
struct CellText {
  int Cell = 0;
  std::string Text;
  bool operator==(const CellText&) const = default;
};

// The runs of non-blank characters of a line, each at its character count.
std::vector<CellText> CellRuns(std::string_view line);
// The titles of a dashed header line (the runs between the dashes), the k-th
// at cells[k]; a title past the end of cells keeps its own character count.
std::vector<CellText> HeaderTitles(std::string_view header, const std::vector<int>& cells);

// The orientation and scale at which lines lineWidth wide fit the page: the
// chosen orientation when they fit, else landscape, scaled down when even
// that is too narrow. Widths in any one unit.
struct PageFit {
  PageOrientation Orientation = PageOrientation::Portrait;
  double Scale = 1.0;
};
PageFit FitLines(double lineWidth, double portraitWidth, double landscapeWidth, PageOrientation chosen);

// "<title>   <date>   page 1 of 3"
std::string PageHeaderLine(const PageSetup& setup, int page, int pages);

// Pages for `lines` lines at linesPerPage (at least one line a page).
int PageCount(long lines, int linesPerPage);

class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // Before Begin: how the pages are laid out.
  void Prepare(PageSetup setup) { setup_ = std::move(setup); }
  // Starts the job in the job's font; false with a reason when the printer
  // or the file cannot be opened.
  virtual bool Begin(const PrinterChoice& choice, std::string& reason) = 0;
  // One text line; a new page when the page is full. False when printing failed.
  virtual bool Line(const std::string& text) = 0;
  virtual void End() = 0;

 protected:
  PageSetup setup_;
};

}  // namespace qelt
