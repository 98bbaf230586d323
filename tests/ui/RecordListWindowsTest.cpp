// "List" and "File List": layout, toolbar, saving, printing and plotting.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include "FakePanel.hpp"
#include "PdfText.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"
#include "recorder/MeasurementFile.hpp"
#include "records/PrintLayout.hpp"

using namespace qelt;

namespace {
using test::FakePanel;

std::string Record(int n) {
  ValueTexts v;
  for (int q = 0; q < QuantityCount; ++q) v[static_cast<std::size_t>(q)] = q == 5 ? "230.5" : "-012.3";
  return RecordLine(n, SampleLine(DateTime{2011, 7, 29, 13, 45, n}, v));
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

// The main window's live poll, as the lists stop and start it.

}  // namespace

class RecordListWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void ListLayoutTitlesAndToolbar();
  void FileListLayoutTitlesAndPlot();
  void ListSaveWritesTheGridAndIsRefusedWhileRecording();
  void ClosingTheListClearsListActive();
  void PrintingThreeRecordsToPdf();
  void EveryPrintedPageHasTheHeaderLine();
  void CancelledPrintKeepsEverything();
  void ResizingMovesTheGridAndTitlesNameTheirQuantity();
};

void RecordListWindowsTest::ListLayoutTitlesAndToolbar() {
  RecorderState state;
  ScriptedDialogs dialogs;
  FakePanel poll;
  ListWindow list(state, dialogs, poll);
  QCOMPARE(list.windowTitle(), QString("List"));
  QCOMPARE(list.size(), QSize(531, 353));  // 7965 x 5295 twips
  QCOMPARE(list.RecordGrid().geometry(), QRect(0, 32, 529, 321));
  QCOMPARE(list.pos(), QPoint(0, 0));
  QAbstractItemModelTester tester(list.RecordGrid().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);

  Grid& grid = list.RecordGrid();
  QCOMPARE(grid.Rows(), 1);
  QCOMPARE(grid.Cols(), 31);
  QCOMPARE(grid.Row(), 0);
  QCOMPARE(grid.Col(), 0);
  for (int c = 0; c < 31; ++c) QCOMPARE(grid.TextMatrix(0, c), MeasurementTitles()[static_cast<std::size_t>(c)]);
  QCOMPARE(grid.TextMatrix(0, 1), std::string("      Date"));
  QCOMPARE(grid.TextMatrix(0, 2), std::string("    Time"));
  QCOMPARE(grid.ColWidth(0), grid.SampleWidth(" 000000 "));
  QCOMPARE(grid.ColWidth(1), grid.SampleWidth("AAAA/AA/AA"));
  QCOMPARE(grid.ColWidth(2), grid.SampleWidth("AA:AA:AA"));
  QCOMPARE(grid.ColWidth(3), grid.SampleWidth("AAAAA"));
  QCOMPARE(grid.ColWidth(7), grid.SampleWidth("AAAAAA"));
  QCOMPARE(grid.ColWidth(9), grid.SampleWidth("AAAAA"));
  QCOMPARE(grid.ColWidth(23), grid.SampleWidth("AAAAA"));
  QCOMPARE(grid.ColWidth(24), grid.SampleWidth("AAAAAA"));
  QVERIFY(grid.SampleWidth("AAAAAA") > grid.SampleWidth("AAAAA"));

  Toolbar& toolbar = list.Toolbar1();
  QCOMPARE(toolbar.Count(), 2);
  QCOMPARE(toolbar.Key(1), QString("Save"));
  QCOMPARE(toolbar.ToolTip(1), QString("Save As"));
  QCOMPARE(toolbar.Key(2), QString("Print"));
  QCOMPARE(toolbar.ToolTip(2), QString("Print"));

  list.AddRow(Record(1));
  QCOMPARE(grid.Rows(), 2);
  QCOMPARE(grid.TextMatrix(1, 8), std::string("230.5"));

  // Ticks without a row are counted in one place; the caption stays.
  QVERIFY(list.SkippedText().isEmpty());
  list.ShowSkippedTicks(1);
  list.ShowSkippedTicks(4);
  QCOMPARE(list.SkippedText(), QString("4 skipped: no new reading"));
  QCOMPARE(list.windowTitle(), QString("List"));
}

void RecordListWindowsTest::FileListLayoutTitlesAndPlot() {
  ScriptedDialogs dialogs;
  float plotRecordCount = -1;
  FakePanel poll;
  FileListWindow files(plotRecordCount, dialogs, poll);
  QCOMPARE(files.windowTitle(), QString("File List"));
  QCOMPARE(files.size(), QSize(531, 647));  // 7965 x 9705 twips
  QCOMPARE(files.RecordGrid().geometry(), QRect(0, 32, 529, 617));
  QCOMPARE(files.RecordGrid().TextMatrix(0, 1), std::string("Date"));
  QCOMPARE(files.RecordGrid().TextMatrix(0, 2), std::string("Time"));
  QCOMPARE(files.RecordGrid().TextMatrix(0, 30), std::string("TTheta"));
  QCOMPARE(files.RecordGrid().ColWidth(1), files.RecordGrid().SampleWidth("AAAA/AA/AA"));
  QCOMPARE(files.Toolbar1().Key(1), QString("Plot"));
  QCOMPARE(files.Toolbar1().ToolTip(1), QString("Plot"));
  QCOMPARE(files.Toolbar1().Key(2), QString("Print"));
  QAbstractItemModelTester tester(files.RecordGrid().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);

  for (int r = 1; r <= 3; ++r) files.AddRow(Record(r));
  QCOMPARE(files.RecordGrid().Rows(), 4);
  int plotted = 0;
  connect(&files, &FileListWindow::PlotWanted, this, [&](FileListWindow* w) {
    QCOMPARE(w, &files);
    ++plotted;
  });
  files.Toolbar1().Click(1);
  QCOMPARE(plotRecordCount, 3.0f);
  QCOMPARE(plotted, 1);

  // A click on the grid does nothing.
  files.RecordGrid().SetCurrentCell(2, 3);
  emit files.RecordGrid().Click(2, 3);
  QCOMPARE(files.RecordGrid().Rows(), 4);
  QVERIFY(dialogs.History.empty());
}

void RecordListWindowsTest::ListSaveWritesTheGridAndIsRefusedWhileRecording() {
  QTemporaryDir dir;
  RecorderState state;
  ScriptedDialogs dialogs;
  FakePanel poll;
  ListWindow list(state, dialogs, poll);
  list.AddRow(Record(1));
  list.AddRow(Record(2));

  const QString path = dir.filePath("saved.mes");
  dialogs.QueueFile(path.toStdString());
  bool busyOverDialog = true;
  dialogs.OnShown = [&](const ScriptedDialogs::Shown&) { busyOverDialog = QApplication::overrideCursor() != nullptr; };
  list.Toolbar1().Click(1);
  QVERIFY(!busyOverDialog);
  QVERIFY(dialogs.History.size() == 1 && dialogs.History[0].What == ScriptedDialogs::Kind::SaveFile);
  QVERIFY(dialogs.History[0].File.OverwritePrompt);
  QByteArray bytes = ReadAll(path);
  QByteArray expected =
      QByteArray::fromStdString(HeaderLine() + "\t\r\n" + Record(1) + "\t\r\n" + Record(2) + "\t\r\n");
  QCOMPARE(bytes, expected);
  QCOMPARE(list.windowTitle(), QString("List"));
  QVERIFY(!QApplication::overrideCursor());
  QVERIFY(!state.DialogOK);
  QCOMPARE(state.RecFileName, path.toStdString());

  state.Recording = true;
  list.Toolbar1().Click(1);
  QCOMPARE(dialogs.History.size(), std::size_t(2));
  QCOMPARE(dialogs.History[1].Text, std::string("Aready in recording mode, close it and try again !"));
  QCOMPARE(dialogs.History[1].Icon, MessageIcon::Stop);
  QCOMPARE(list.RecordGrid().Rows(), 3);
}

void RecordListWindowsTest::ClosingTheListClearsListActive() {
  RecorderState state;
  ScriptedDialogs dialogs;
  FakePanel poll;
  auto* list = new ListWindow(state, dialogs, poll);
  list->setAttribute(Qt::WA_DeleteOnClose);
  list->show();
  state.ListActive = true;
  QPointer<ListWindow> guard(list);
  list->close();
  QVERIFY(!state.ListActive);
  QTRY_VERIFY(guard.isNull());
}

void RecordListWindowsTest::PrintingThreeRecordsToPdf() {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  FakePanel poll;
  RecorderState state;
  ListWindow list(state, dialogs, poll);
  list.setWindowTitle("List");
  for (int r = 1; r <= 3; ++r) list.AddRow(Record(r));
  std::vector<QString> captions;
  connect(&list, &QWidget::windowTitleChanged, this, [&](const QString& t) { captions.push_back(t); });

  PrinterChoice pdf;
  pdf.OutputFile = dir.filePath("list.pdf").toStdString();
  pdf.Orientation = PageOrientation::Landscape;
  dialogs.Printers.push_back(pdf);
  list.Toolbar1().Click(2);

  QCOMPARE(poll.stops, 1);
  QCOMPARE(poll.starts, 1);
  QVERIFY(!QApplication::overrideCursor());
  QCOMPARE(list.windowTitle(), QString("List"));
  QCOMPARE(captions,
           (std::vector<QString>{"1 record(s) completed", "2 record(s) completed", "3 record(s) completed", "List"}));

  QString text = test::PdfText(dir.filePath("list.pdf"));
  if (qEnvironmentVariableIsSet("QELT_SHOW_PDF")) qInfo().noquote() << text;
  QVERIFY2(test::DashedHeaderPattern(QString::fromStdString(PrintHeaderLine())).match(text).hasMatch(),
           qPrintable(text));
  for (const char* start : {"00001", "00002", "00003"}) {
    QRegularExpression line(
        QString("%1\\s+2011/07/29\\s+13:45:0%2\\s+-012.3\\s+-012.3").arg(start).arg(QString(start).right(1)));
    QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
  }
  QVERIFY(!text.contains("00004"));
  QVERIFY2(text.contains(QRegularExpression("List\\s+\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d\\s+page 1 of 1")),
           qPrintable(text));
  QCOMPARE(dialogs.History.back().DefaultAnswer, std::string("List.pdf"));

  // Portrait is too narrow for the 31 columns: the page turns, nothing is cut.
  pdf.OutputFile = dir.filePath("portrait.pdf").toStdString();
  pdf.Orientation = PageOrientation::Portrait;
  dialogs.Printers.push_back(pdf);
  list.Toolbar1().Click(2);
  text = test::PdfText(dir.filePath("portrait.pdf"));
  QVERIFY2(test::DashedHeaderPattern(QString::fromStdString(PrintHeaderLine())).match(text).hasMatch(),
           qPrintable(text));
  QVERIFY(text.contains("TTheta"));
}

void RecordListWindowsTest::EveryPrintedPageHasTheHeaderLine() {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  FakePanel poll;
  RecorderState state;
  ListWindow list(state, dialogs, poll);
  for (int r = 1; r <= 150; ++r) list.AddRow(Record(r % 60));
  PrinterChoice pdf;
  pdf.OutputFile = dir.filePath("long.pdf").toStdString();
  pdf.Orientation = PageOrientation::Landscape;
  dialogs.Printers.push_back(pdf);
  list.Toolbar1().Click(2);
  if (qEnvironmentVariableIsSet("QELT_KEEP_PDF"))
    QFile::copy(dir.filePath("long.pdf"), qEnvironmentVariable("QELT_KEEP_PDF"));

  const QStringList pages = test::PdfText(dir.filePath("long.pdf")).split('\f', Qt::SkipEmptyParts);
  QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
  const QRegularExpression header = test::DashedHeaderPattern(QString::fromStdString(PrintHeaderLine()));
  for (int p = 0; p < pages.size(); ++p) {
    QVERIFY2(header.match(pages[p]).hasMatch(), qPrintable(pages[p]));
    QVERIFY(pages[p].contains(QString("page %1 of %2").arg(p + 1).arg(pages.size())));
  }
}

void RecordListWindowsTest::CancelledPrintKeepsEverything() {
  ScriptedDialogs dialogs;
  FakePanel poll;
  RecorderState state;
  FileListWindow files(state.PlotRecordCount, dialogs, poll);
  files.setWindowTitle("run.mes");
  files.AddRow(Record(1));
  dialogs.Printers.push_back(std::nullopt);
  files.Toolbar1().Click(2);
  QCOMPARE(files.windowTitle(), QString("run.mes"));
  QCOMPARE(poll.stops + poll.starts, 0);
  QCOMPARE(dialogs.History.size(), std::size_t(1));
  QCOMPARE(dialogs.History[0].What, ScriptedDialogs::Kind::Printer);
}

QTEST_MAIN(RecordListWindowsTest)
void RecordListWindowsTest::ResizingMovesTheGridAndTitlesNameTheirQuantity() {
  ScriptedDialogs dialogs;
  FakePanel poll;
  RecorderState state;
  FileListWindow files(state.PlotRecordCount, dialogs, poll);
  const QSize first = files.size();
  files.show();
  QVERIFY(QTest::qWaitForWindowExposed(&files));
  QCOMPARE(files.size(), first);  // the design size first
  const QRect grid = files.RecordGrid().geometry();
  const int toolbar = files.Toolbar1().width();
  files.resize(first + QSize(200, 150));
  QCOMPARE(files.RecordGrid().geometry(), grid.adjusted(0, 0, 200, 150));
  QCOMPARE(files.Toolbar1().width(), toolbar + 200);
  files.resize(first);
  QCOMPARE(files.RecordGrid().geometry(), grid);

  QAbstractItemModel* model = files.RecordGrid().model();
  QCOMPARE(model->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(), QString("Phase 1 active power (kW)"));
  QCOMPARE(model->headerData(30, Qt::Horizontal, Qt::ToolTipRole).toString(),
           QString::fromUtf8("Total phase angle (\u00b0)"));
  QVERIFY(model->headerData(1, Qt::Horizontal, Qt::ToolTipRole).isNull());  // Date
}

#include "RecordListWindowsTest.moc"
