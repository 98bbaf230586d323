#pragma once
// TAB-separated rows, split as a grid fills consecutive cells.
#include <string_view>

namespace qelt {

// Calls field(text) for the fields of row from the first on, at most
// maxFields of them: a trailing TAB adds no field past maxFields, fields past
// it are dropped. An empty row is one empty field.
template <class Field>
void ForEachTabField(std::string_view row, int maxFields, Field&& field) {
  std::size_t start = 0;
  for (int n = 0; n < maxFields; ++n) {
    std::size_t tab = row.find('\t', start);
    if (tab == std::string_view::npos) {
      field(row.substr(start));
      return;
    }
    field(row.substr(start, tab - start));
    start = tab + 1;
  }
}

}  // namespace qelt
