#pragma once
// The fixed layout of the record list windows "List" and "File List":
// sizes in twips, column titles and the sample texts that set the column widths.
#include <array>
#include <string>

#include "records/RecordTable.hpp"

namespace qelt {

struct RecordListLayout {
  const char* Caption;
  int ClientWidth, ClientHeight;  // twips
  int GridLeft, GridTop, GridWidth, GridHeight;
  const std::array<std::string, RecordColumns>& Titles;
};

// "List": the live list; its titles carry the measurement file's leading blanks.
const RecordListLayout& LiveListLayout();
// "File List": the list of an opened file; titles without blanks.
const RecordListLayout& FileListLayout();

// The text whose printed width is the width of column col.
const char* ColumnWidthSample(int col);

}  // namespace qelt
