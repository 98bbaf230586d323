#pragma once
// A text print job on a QPrinter: the printer (or PDF file) chosen in the
// printer dialog, its orientation and copies, lines in one font, a new page
// when one is full. With a PageSetup, lines too wide for the chosen
// orientation turn the page to landscape or shrink, and each page starts
// with a header line and the column header.
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "platform/PrintJob.hpp"

namespace qelt {

class QtPrintJob : public PrintJob {
 public:
  QtPrintJob(const QString& family, int points) : family_(family), points_(points) {}
  ~QtPrintJob() override;

  bool Begin(const PrinterChoice& choice, std::string& reason) override;
  bool Line(const std::string& text) override;
  void End() override;

  int Pages() const { return pages_; }

 private:
  QString family_;
  int points_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  // The page header and the column header at the top of a page.
  void PageTop();

  int lineHeight_ = 0;
  int ascent_ = 0;
  int y_ = 0;
  int pageHeight_ = 0;  // in the painter's (scaled) units
  int pages_ = 0;
  int pageCount_ = 1;
  double cell_ = 0;  // the width of a character cell: a digit's
};

}  // namespace qelt
