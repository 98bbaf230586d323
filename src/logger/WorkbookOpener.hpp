#pragma once
// Opens an exported workbook, in place of the desktop's default application
// (tests and benchmarks count the workbooks instead of opening them).
#include <string>

namespace qelt {

class WorkbookOpener {
 public:
  virtual ~WorkbookOpener() = default;
  // False when nothing could open it.
  virtual bool OpenWorkbook(const std::string& path) = 0;
};

}  // namespace qelt
