#include "platform/qt/QtPrintJob.hpp"

#include <QFontMetrics>
#include <algorithm>

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
  if (!setup_.WidestLine.empty() || !setup_.TitleCells.empty()) {
    const int dpi = printer_->resolution();
    QPageLayout layout = printer_->pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const double portrait = layout.paintRectPixels(dpi).width();
    layout.setOrientation(QPageLayout::Landscape);
    const double landscape = layout.paintRectPixels(dpi).width();
    const QFontMetricsF metrics(font, printer_.get());
    double width = metrics.horizontalAdvance(QString::fromStdString(setup_.WidestLine));
    if (!setup_.TitleCells.empty()) {
      cell_ = metrics.horizontalAdvance(QLatin1Char('0'));
      width = std::max(width, setup_.LineCells * cell_);
    }
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
  // The page header and a blank line take two lines of every page, the
  // column header one more.
  const int headerLines = (setup_.Title.empty() ? 0 : 2) + (setup_.ColumnHeader.empty() ? 0 : 1);
  pageCount_ = PageCount(setup_.Lines, pageHeight_ / std::max(1, lineHeight_) - headerLines);
  PageTop();
  return true;
}

void QtPrintJob::PageTop() {
  if (!setup_.Title.empty()) {
    painter_->drawText(0, y_ + ascent_, QString::fromStdString(PageHeaderLine(setup_, pages_, pageCount_)));
    y_ += 2 * lineHeight_;
  }
  if (setup_.ColumnHeader.empty()) return;
  const double base = y_ + ascent_;
  y_ += lineHeight_;
  if (setup_.TitleCells.empty()) {
    painter_->drawText(QPointF(0, base), QString::fromStdString(setup_.ColumnHeader));
    return;
  }
  // Each title over its column; the dashes fill the room between.
  const QFontMetricsF metrics(painter_->font(), printer_.get());
  const double dash = std::max(1.0, metrics.horizontalAdvance(QLatin1Char('-')));
  double drawn = 0;
  for (const CellText& title : HeaderTitles(setup_.ColumnHeader, setup_.TitleCells)) {
    const double at = std::max(drawn, title.Cell * cell_);
    const auto dashes = static_cast<int>((at - drawn) / dash);
    if (dashes > 0) painter_->drawText(QPointF(drawn, base), QString(dashes, QLatin1Char('-')));
    const QString text = QString::fromStdString(title.Text);
    painter_->drawText(QPointF(at, base), text);
    drawn = at + metrics.horizontalAdvance(text);
  }
}

bool QtPrintJob::Line(const std::string& text) {
  if (!painter_ || !painter_->isActive()) return false;
  if (y_ > 0 && y_ + lineHeight_ > pageHeight_) {
    if (!printer_->newPage()) return false;
    ++pages_;
    y_ = 0;
    PageTop();
  }
  if (setup_.TitleCells.empty()) {
    painter_->drawText(0, y_ + ascent_, QString::fromStdString(text));
  } else {
    // Every run of the line at its character cell: the columns hold whatever
    // the widths of the characters before it.
    for (const CellText& run : CellRuns(text))
      painter_->drawText(QPointF(run.Cell * cell_, y_ + ascent_), QString::fromStdString(run.Text));
  }
  y_ += lineHeight_;
  return true;
}

void QtPrintJob::End() {
  if (painter_ && painter_->isActive()) painter_->end();
}

}  // namespace qelt
