#include "platform/qt/WidgetPrint.hpp"

#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace qelt {

bool PrintWidgetImage(QWidget& widget, const PrinterChoice& choice, std::string& reason, const std::string& heading) {
  QPrinter printer(QPrinter::HighResolution);
  if (!choice.OutputFile.empty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(choice.OutputFile));
  } else if (!choice.PrinterName.empty()) {
    printer.setPrinterName(QString::fromStdString(choice.PrinterName));
  }
  printer.setPageOrientation(choice.Orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                              : QPageLayout::Portrait);
  printer.setCopyCount(std::max(1, choice.Copies));
  if (!printer.isValid()) {
    reason = "No printer is available.";
    return false;
  }
  QPainter painter;
  if (!painter.begin(&printer)) {
    reason = choice.OutputFile.empty() ? "The printer " + printer.printerName().toStdString() + " cannot be opened."
                                       : "The file " + choice.OutputFile + " cannot be written.";
    return false;
  }
  // Screen pixels are 1/96 inch; the page decides when the image is larger.
  QRect page = painter.viewport();
  if (!heading.empty()) {
    QFont font("Arial", 10);
    font.setFamilies({"Arial", "Liberation Sans", "Helvetica"});
    painter.setFont(font);
    const QRect line = painter.boundingRect(page, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(heading));
    painter.drawText(page, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(heading));
    // The image begins a line's height below the heading.
    page.setTop(line.bottom() + line.height());
  }
  const double scale =
      std::min({printer.resolution() / 96.0, static_cast<double>(page.width()) / std::max(1, widget.width()),
                static_cast<double>(page.height()) / std::max(1, widget.height())});
  painter.translate(page.topLeft());
  painter.scale(scale, scale);
  widget.render(&painter, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  return painter.end();
}

}  // namespace qelt
