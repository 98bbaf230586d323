#pragma once
// The text of a PDF file as pdftotext lays it out.
#include <QProcess>
#include <QString>

namespace qelt::test {

inline QString PdfText(const QString& pdf) {
  QProcess process;
  process.start(QString::fromUtf8(QELT_PDFTOTEXT), {"-layout", pdf, "-"});
  if (!process.waitForFinished(60000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace qelt::test
