#include "records/PrintLayout.hpp"

#include <algorithm>
#include <iterator>

#include "text/NumberText.hpp"

namespace qelt {
namespace {

// Printed value columns: all but the phase angles (7, 14, 21).
constexpr int PrintedColumns[] = {3,  4,  5,  6,  8,  9,  10, 11, 12, 13, 15, 16, 17,
                                  18, 19, 20, 22, 23, 24, 25, 26, 27, 28, 29, 30};
constexpr std::size_t ValueWidth = 9;

// A sign, digits and at most one point, with at least one digit.
bool IsPlainNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digit = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9')
      digit = true;
    else if (text[i] == '.' && !point)
      point = true;
    else
      return false;
  }
  return digit;
}

// The record number with at least five digits; a text that is no number stays as it is.
std::string NumberField(std::string_view text) {
  std::string_view number = text;
  while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
  while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
  if (!IsPlainNumber(number)) return std::string(text);
  return FormatPattern(NumericPrefix(number), "00000");
}

}  // namespace

const std::string& PrintHeaderLine() {
  static const std::string header =
      "-------------Date---------Time---KW1--KVAR1-KVA1----PF1-----V1-------I1------KW2--KVAR2-KVA2---PF2------V2---"
      "----I2-----KW3--KVAR3-KVA3---PF3------V3-------I3-------Hz-------I4-----TKW-TKVAR-TKVA---TPF----TTheta";
  return header;
}

namespace {

// The record line and the character count at which each of its fields starts.
std::string BuildRecordLine(const GridRows& grid, int row, std::vector<int>* starts) {
  std::string line;
  auto field = [&](std::string_view text, std::size_t width) {
    if (starts) starts->push_back(static_cast<int>(line.size()));
    line += text;
    if (text.size() < width) line.append(width - text.size(), ' ');
  };
  std::string number = NumberField(grid.Cell(row, 0));
  field(number, number.size() + 2);
  field(grid.Cell(row, 1), grid.Cell(row, 1).size() + 2);
  field(grid.Cell(row, 2), grid.Cell(row, 2).size() + 2);
  for (int col : PrintedColumns) field(grid.Cell(row, col), ValueWidth);
  return line;
}

// The line of a record whose fields have their usual widths.
constexpr int UsualLineCells = 5 + 2 + 10 + 2 + 8 + 2 + static_cast<int>(std::size(PrintedColumns) * ValueWidth);

}  // namespace

std::string PrintRecordLine(const GridRows& grid, int row) { return BuildRecordLine(grid, row, nullptr); }

std::vector<int> PrintFieldCells(const GridRows& grid, int row) {
  std::vector<int> starts;
  BuildRecordLine(grid, row, &starts);
  return starts;
}

std::vector<int> PrintTitleCells(const GridRows& grid) {
  std::vector<int> cells;
  if (grid.Rows() > 1) {
    cells = PrintFieldCells(grid, 1);
  } else {
    // No record: where the usual one has its fields.
    cells = {0, 7, 19};
    for (std::size_t k = 0; k < std::size(PrintedColumns); ++k) cells.push_back(29 + static_cast<int>(k * ValueWidth));
  }
  cells.erase(cells.begin());  // the record number has no title
  return cells;
}

int PrintLineCells(const GridRows& grid) {
  const int first = grid.Rows() > 1 ? static_cast<int>(PrintRecordLine(grid, 1).size()) : 0;
  return std::max(first, UsualLineCells);
}

std::string PrintProgressCaption(int row) { return std::to_string(row) + " record(s) completed"; }

bool PrintRecords(const GridRows& grid, WindowSurface& window, PrintJob& job, WhenWindowGone whenGone) {
  const int rows = grid.Rows();  // the records present when printing starts
  for (int r = 1; r < rows && r < grid.Rows(); ++r) {
    std::string line = PrintRecordLine(grid, r);
    window.SetCaption(PrintProgressCaption(r));
    window.RunEventsOnce();
    if (whenGone == WhenWindowGone::EndPrint && window.Gone()) return false;
    if (!job.Line(line)) return false;
  }
  return true;
}

std::string PdfFileName(std::string_view caption) {
  std::string_view name = caption.substr(0, caption.find("  "));  // "List  (3 skipped...)"
  if (const auto slash = name.find_last_of("/\\"); slash != std::string_view::npos) name.remove_prefix(slash + 1);
  if (const auto dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  std::string file;
  for (char c : name) file += std::string_view(":*?\"<>|").find(c) == std::string_view::npos ? c : '_';
  while (!file.empty() && file.back() == ' ') file.pop_back();
  return (file.empty() ? std::string("print") : file) + ".pdf";
}

}  // namespace qelt
