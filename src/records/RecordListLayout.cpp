#include "records/RecordListLayout.hpp"

namespace qelt {

const RecordListLayout& LiveListLayout() {
  static const RecordListLayout layout{"List", 7965, 5295, 0, 480, 7935, 4815, MeasurementTitles()};
  return layout;
}

const RecordListLayout& FileListLayout() {
  static const RecordListLayout layout{"File List", 7965, 9705, 0, 480, 7935, 9255, FileListTitles()};
  return layout;
}

const char* ColumnWidthSample(int col) {
  switch (col) {
    case 0: return " 000000 ";
    case 1: return "AAAA/AA/AA";
    case 2: return "AA:AA:AA";
    case 3:
    case 8:
    case 9:
    case 10:
    case 15:
    case 16:
    case 17:
    case 22:
    case 23: return "AAAAA";
    default: return "AAAAAA";
  }
}

}  // namespace qelt
