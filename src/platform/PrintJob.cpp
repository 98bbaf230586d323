#include "platform/PrintJob.hpp"

#include <algorithm>

namespace qelt {

PageFit FitLines(double lineWidth, double portraitWidth, double landscapeWidth, PageOrientation chosen) {
  const double chosenWidth = chosen == PageOrientation::Landscape ? landscapeWidth : portraitWidth;
  if (lineWidth <= chosenWidth) return {chosen, 1.0};
  if (lineWidth <= landscapeWidth) return {PageOrientation::Landscape, 1.0};
  return {PageOrientation::Landscape, lineWidth > 0 ? landscapeWidth / lineWidth : 1.0};
}

std::string PageHeaderLine(const PageSetup& setup, int page, int pages) {
  return setup.Title + "   " + setup.Date + "   page " + std::to_string(page) + " of " + std::to_string(pages);
}

std::vector<CellText> CellRuns(std::string_view line) {
  std::vector<CellText> runs;
  std::size_t i = 0;
  while ((i = line.find_first_not_of(' ', i)) != std::string_view::npos) {
    std::size_t end = line.find(' ', i);
    if (end == std::string_view::npos) end = line.size();
    runs.push_back({static_cast<int>(i), std::string(line.substr(i, end - i))});
    i = end;
  }
  return runs;
}

std::vector<CellText> HeaderTitles(std::string_view header, const std::vector<int>& cells) {
  std::vector<CellText> titles;
  std::size_t i = 0;
  while ((i = header.find_first_not_of('-', i)) != std::string_view::npos) {
    std::size_t end = header.find('-', i);
    if (end == std::string_view::npos) end = header.size();
    const std::size_t k = titles.size();
    titles.push_back({k < cells.size() ? cells[k] : static_cast<int>(i), std::string(header.substr(i, end - i))});
    i = end;
  }
  return titles;
}

int PageCount(long lines, int linesPerPage) {
  const long perPage = std::max(1, linesPerPage);
  return static_cast<int>(std::max(1L, (lines + perPage - 1) / perPage));
}

}  // namespace qelt
