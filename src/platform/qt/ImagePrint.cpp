#include "platform/qt/ImagePrint.hpp"

#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace qelt {

bool PrintWidgetImage(QWidget& widget, const PrinterChoice& choice, std::string& reason) {
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
  const QRect page = painter.viewport();
  const double scale = std::min(static_cast<double>(page.width()) / std::max(1, widget.width()),
                                static_cast<double>(page.height()) / std::max(1, widget.height()));
  painter.scale(scale, scale);
  widget.render(&painter);
  return painter.end();
}

}  // namespace qelt
