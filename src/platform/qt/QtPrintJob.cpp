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
  QFont font(family_);
  font.setPointSize(points_);
  PageFit fit{choice.Orientation, 1.0};
  if (!setup_.WidestLine.empty()) {
    const int dpi = printer_->resolution();
    QPageLayout layout = printer_->pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const double portrait = layout.paintRectPixels(dpi).width();
    layout.setOrientation(QPageLayout::Landscape);
    const double landscape = layout.paintRectPixels(dpi).width();
    const double width =
        QFontMetricsF(font, printer_.get()).horizontalAdvance(QString::fromStdString(setup_.WidestLine));
    fit = FitLines(width, portrait, landscape, choice.Orientation);
  }
  printer_->setPageOrientation(fit.Orientation == PageOrientation::Landscape ? QPageLayout::Landscape
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
  painter_->scale(fit.Scale, fit.Scale);
  painter_->setFont(font);
  QFontMetrics metrics(font, printer_.get());
  lineHeight_ = metrics.lineSpacing();
  ascent_ = metrics.ascent();
  pageHeight_ = static_cast<int>(painter_->viewport().height() / fit.Scale);
  y_ = 0;
  pages_ = 1;
  if (!setup_.Title.empty()) {
    // The header and a blank line take two lines of every page.
    pageCount_ = PageCount(setup_.Lines, pageHeight_ / std::max(1, lineHeight_) - 2);
    Header();
  }
  return true;
}

void QtPrintJob::Header() {
  painter_->drawText(0, y_ + ascent_, QString::fromStdString(PageHeaderLine(setup_, pages_, pageCount_)));
  y_ += 2 * lineHeight_;
}

bool QtPrintJob::Line(const std::string& text) {
  if (!painter_ || !painter_->isActive()) return false;
  if (y_ > 0 && y_ + lineHeight_ > pageHeight_) {
    if (!printer_->newPage()) return false;
    ++pages_;
    y_ = 0;
    if (!setup_.Title.empty()) Header();
  }
  painter_->drawText(0, y_ + ascent_, QString::fromStdString(text));
  y_ += lineHeight_;
  return true;
}

void QtPrintJob::End() {
  if (painter_ && painter_->isActive()) painter_->end();
}

}  // namespace qelt
