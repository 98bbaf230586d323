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

int PageCount(long lines, int linesPerPage) {
  const long perPage = std::max(1, linesPerPage);
  return static_cast<int>(std::max(1L, (lines + perPage - 1) / perPage));
}

}  // namespace qelt
