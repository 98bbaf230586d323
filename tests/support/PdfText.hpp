#pragma once
// The text of a PDF file as pdftotext lays it out.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace qelt::test {

inline QString PdfText(const QString& pdf) {
  QProcess process;
  process.start(QString::fromUtf8(QELT_PDFTOTEXT), {"-layout", pdf, "-"});
  if (!process.waitForFinished(60000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

// A dashed header line ("---Date---Time--KW1") as a printout that places its
// titles over their columns shows it: the titles in order, dashes between.
inline QRegularExpression DashedHeaderPattern(const QString& header) {
  QStringList titles = header.split('-', Qt::SkipEmptyParts);
  for (QString& t : titles) t = QRegularExpression::escape(t);
  return QRegularExpression("-+\\s*" + titles.join("\\s*-+\\s*"));
}

}  // namespace qelt::test
