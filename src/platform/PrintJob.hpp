#pragma once
// A text print job on the printer chosen in the printer dialog. Qt-free, so
// that print runs can be tested with a recording job.
#include <string>

#include "platform/Dialogs.hpp"

namespace qelt {

class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // Starts the job in the job's font; false with a reason when the printer
  // or the file cannot be opened.
  virtual bool Begin(const PrinterChoice& choice, std::string& reason) = 0;
  // One text line; a new page when the page is full. False when printing failed.
  virtual bool Line(const std::string& text) = 0;
  virtual void End() = 0;
};

}  // namespace qelt
