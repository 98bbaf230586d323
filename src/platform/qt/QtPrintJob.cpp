#include "platform/qt/QtPrintJob.hpp"

#include <QFontMetrics>

namespace qelt {

QtPrintJob::~QtPrintJob() {
  // A job left unfinished is still closed, so the printer is not held.
  if (painter_ && painter_->isActive()) painter_->end();
}

bool QtPrintJob::Begin(const PrinterChoice& choice, std::string& reason) {
  printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!choice.OutputFile.empty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(choice.OutputFile));
  } else if (!choice.PrinterName.empty()) {
    printer_->setPrinterName(QString::fromStdString(choice.PrinterName));
  }
  printer_->setPageOrientation(choice.Orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                                : QPageLayout::Portrait);
  printer_->setCopyCount(std::max(1, choice.Copies));
  if (!printer_->isValid()) {
    reason = "No printer is available.";
    return false;
  }
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(printer_.get())) {
    reason = choice.OutputFile.empty() ? "The printer " + printer_->printerName().toStdString() + " cannot be opened."
                                       : "The file " + choice.OutputFile + " cannot be written.";
    painter_.reset();
    return false;
  }
  QFont font(family_);
  font.setPointSize(points_);
  painter_->setFont(font);
  QFontMetrics metrics(font, printer_.get());
  lineHeight_ = metrics.lineSpacing();
  ascent_ = metrics.ascent();
  y_ = 0;
  pages_ = 1;
  return true;
}

bool QtPrintJob::Line(const std::string& text) {
  if (!painter_ || !painter_->isActive()) return false;
  const int pageHeight = painter_->viewport().height();
  if (y_ > 0 && y_ + lineHeight_ > pageHeight) {
    if (!printer_->newPage()) return false;
    ++pages_;
    y_ = 0;
  }
  painter_->drawText(0, y_ + ascent_, QString::fromStdString(text));
  y_ += lineHeight_;
  return true;
}

void QtPrintJob::End() {
  if (painter_ && painter_->isActive()) painter_->end();
}

}  // namespace qelt
