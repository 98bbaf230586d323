// "Summary": its figures from a list's rows and from a recording's files, Copy
// and Save as TSV, Refresh of the live list, the button on File List and List.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "OpenSummary.hpp"
#include "PanelRig.hpp"
#include "PdfText.hpp"
#include "ToolbarKeys.hpp"
#include "analysis/SummaryWindow.hpp"
#include "app/Attach.hpp"
#include "link/Link.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/PcSamplingController.hpp"
#include "report/ListReport.hpp"
#include "report/ReportText.hpp"
#include "session/Session.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {

// Record n at 00:00:00 + 2 (n - 1) s with the given TKW text.
std::string Record(int n, const std::string& tkw) {
  ValueTexts v;
  for (int q = 0; q < QuantityCount; ++q) v[static_cast<std::size_t>(q)] = IsThreeDecimal(q) ? "0.950" : "100.0";
  v[static_cast<std::size_t>(QuantityIndexOf("TKW"))] = tkw;
  const int s = 2 * (n - 1);
  return RecordLine(n, SampleLine(DateTime{2026, 3, 1, s / 3600, s / 60 % 60, s % 60}, v));
}

GridRows Rows(const std::vector<std::string>& tkw, int first = 1) {
  GridRows grid(RecordColumns);
  grid.AddRow(HeaderLine());
  for (std::size_t i = 0; i < tkw.size(); ++i) grid.AddRow(Record(first + static_cast<int>(i), tkw[i]));
  return grid;
}

void WriteRecording(const std::string& path, const std::vector<std::string>& tkw, int first) {
  std::ofstream out(path, std::ios::binary);
  out << HeaderLine() << "\r\n";
  for (std::size_t i = 0; i < tkw.size(); ++i) out << Record(first + static_cast<int>(i), tkw[i]) << "\r\n";
}

bool WaitShown(SummaryWindow& window) {
  if (!window.Busy()) return true;
  QSignalSpy spy(&window, &SummaryWindow::Shown);
  return spy.wait(10000);
}

// The value cell of the figure row whose label is given; "" when none.
QString Figure(const SummaryWindow& window, const QString& label) {
  const QTableWidget& table = window.FiguresTable();
  for (int r = 0; r < table.rowCount(); ++r)
    if (table.item(r, 0) && table.item(r, 0)->text() == label) return table.item(r, 1)->text();
  return {};
}

// A main window on the simulator whose timers the test drives by hand, with
// PC sampling and the summary attached.
struct Rig : test::PanelRig {
  Rig() : PanelRig({2026, 3, 1, 0, 0, 0}, false) {
    AttachSummaryAndReport(dialogs, sampling, nullptr);
    Start();
    session.Recorder.SampleTime = 1;  // the load set it to 2
  }
  // A recording of three records and a continuation of one, opened in File List.
  FileListWindow* OpenRecording(const std::string& path) {
    WriteRecording(path, {"003.0", "-001.0", "002.0"}, 1);
    WriteRecording(ContinuationName(path, 1), {"004.0"}, 4);
    dialogs.QueueFile(path);
    Key("Open");
    return sampling->FileList();
  }
  void PollAndTick() {
    panel.Timer1Tick();
    host.Advance(1.0);
    emit panel.Timer2Tick();
  }
};

}  // namespace

class SummaryWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(tmp.isValid()); }
  void cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<SummaryWindow*>(w)) delete w;
  }
  void ShowsTheFiguresOfTheRowsWithUnits();
  void CopyAndSaveAsTsvGiveTheSameText();
  void AFailedSaveIsTold();
  void WholeRecordingReadsTheContinuationFiles();
  void TwoGridsAreOneSet();
  void ClosingWhileItComputesStopsTheWorker();
  void FileListButtonOpensItsSummary();
  void LiveListSummaryIsASnapshotWithRefresh();
  void ReportButtonWritesTheWholeRecordingAsPdf();
  void ReportOfAnEmptyListIsToldAndWritesNothing();
  void ALiveListReportSaysWhatItHoldsUnderTheTitleChosen();
  void TheSummaryOfAFileListClosesWithIt();

 private:
  QTemporaryDir tmp;
};

void SummaryWindowTest::ShowsTheFiguresOfTheRowsWithUnits() {
  ScriptedDialogs dialogs;
  SummarySource source;
  source.Title = "run.mes";
  source.Rows = [] { return std::vector<GridRows>{Rows({"003.0", "-001.0", "002.0"})}; };
  SummaryWindow window(source, dialogs);
  window.show();
  QVERIFY(WaitShown(window));
  QCOMPARE(window.windowTitle(), QString("Summary - run.mes"));
  QCOMPARE(window.Result().Records, std::int64_t{3});
  QCOMPARE(Figure(window, "Total active energy imported"), QString("0.0028"));
  QCOMPARE(Figure(window, "Total active energy exported"), QString("0.0006"));
  QCOMPARE(Figure(window, "Interval"), QString("2"));
  QVERIFY(!window.Scope().isVisibleTo(&window));
  QVERIFY(!window.RefreshButton().isVisibleTo(&window));
  const QTableWidget& q = window.QuantitiesTable();
  QCOMPARE(q.rowCount(), 28);
  QCOMPARE(q.horizontalHeaderItem(0)->text(), QString("Quantity"));
  QCOMPARE(q.item(23, 0)->text(), QString("TKW"));
  QCOMPARE(q.item(23, 1)->text(), QString("kW"));
  QCOMPARE(q.item(23, 5)->text(), QString("-1.0"));
  QCOMPARE(q.item(23, 7)->text(), QString("3.0"));
  QCOMPARE(window.Status().text(), QString("3 records, 0 bad rows"));
}

void SummaryWindowTest::CopyAndSaveAsTsvGiveTheSameText() {
  ScriptedDialogs dialogs;
  SummarySource source;
  source.Rows = [] { return std::vector<GridRows>{Rows({"003.0", "-001.0"})}; };
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitShown(window));
  window.CopyCommand();
  const QString copied = QApplication::clipboard()->text();
  QVERIFY(copied.contains("Total active energy imported\t"));
  QVERIFY(copied.contains("\nTKW\tkW\t2\t0\t0\t-1.0\t"));
  const QString path = tmp.filePath("s.tsv");
  dialogs.QueueFile(path.toStdString());
  window.SaveCommand();
  QCOMPARE(dialogs.History.back().What, ScriptedDialogs::Kind::SaveFile);
  QVERIFY(dialogs.History.back().File.OverwritePrompt);
  QCOMPARE(dialogs.History.back().Asker, window.windowTitle().toStdString());
  QFile file(path);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(file.readAll()), copied);
  QVERIFY(copied.startsWith("Figure\tValue\tUnit\tAt\n"));
  // A name typed without an ending gets the filter's.
  dialogs.QueueFile(tmp.filePath("summary_dl").toStdString());
  window.SaveCommand();
  QVERIFY(QFile::exists(tmp.filePath("summary_dl.tsv")));
  QVERIFY(!QFile::exists(tmp.filePath("summary_dl")));
}

void SummaryWindowTest::AFailedSaveIsTold() {
  ScriptedDialogs dialogs;
  SummarySource source;
  source.Rows = [] { return std::vector<GridRows>{Rows({"003.0"})}; };
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitShown(window));
  dialogs.QueueFile(tmp.filePath("no/such/folder/s.tsv").toStdString());
  window.SaveCommand();
  QCOMPARE(dialogs.History.back().What, ScriptedDialogs::Kind::Message);
  QVERIFY(dialogs.History.back().Text.find("Cannot write") == 0);
}

void SummaryWindowTest::WholeRecordingReadsTheContinuationFiles() {
  const std::string first = tmp.filePath("week.mes").toStdString();
  WriteRecording(first, {"001.0", "001.0"}, 1);
  WriteRecording(ContinuationName(first, 1), {"001.0", "001.0", "001.0"}, 3);
  ScriptedDialogs dialogs;
  SummarySource source;
  source.File = first;
  source.WholeRecording = RecordingFiles(first);
  source.Rows = [] { return std::vector<GridRows>{Rows({"001.0", "001.0"})}; };
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitShown(window));
  QVERIFY(window.Scope().isVisibleTo(&window));
  QCOMPARE(window.Result().Records, std::int64_t{2});
  QCOMPARE(window.FiguresTable().item(0, 3)->text(), QString("week.mes"));
  window.SetWholeRecording(true);
  QVERIFY(WaitShown(window));
  QCOMPARE(window.Result().Records, std::int64_t{5});
  QCOMPARE(window.Scope().currentText(), QString("Whole recording"));
  QCOMPARE(window.FiguresTable().item(0, 1)->text(), QString("2"));
  QCOMPARE(window.FiguresTable().item(0, 3)->text(), QString("week.mes week-1.mes"));
}

void SummaryWindowTest::TwoGridsAreOneSet() {
  ScriptedDialogs dialogs;
  SummarySource source;
  source.Rows = [] { return std::vector<GridRows>{Rows({"003.0", "-001.0"}), Rows({"002.0"}, 3)}; };
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitShown(window));
  QCOMPARE(window.Result().Records, std::int64_t{3});
  QCOMPARE(window.Result().CoveredS, 6.0);
  QCOMPARE(window.Result().Gaps, std::int64_t{0});
}

void SummaryWindowTest::ClosingWhileItComputesStopsTheWorker() {
  const std::string path = tmp.filePath("big.mes").toStdString();
  std::vector<std::string> tkw(40000, "005.0");
  WriteRecording(path, tkw, 1);
  ScriptedDialogs dialogs;
  SummarySource source;
  source.File = path;
  for (int i = 0; i < 5; ++i) {
    auto* window = new SummaryWindow(source, dialogs);
    window->show();
    QTest::qWait(i);
    delete window;  // joins its worker, whatever it was doing
  }
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitShown(window));
  QCOMPARE(window.Result().Records, std::int64_t{40000});
}

void SummaryWindowTest::FileListButtonOpensItsSummary() {
  Rig rig;
  const std::string path = tmp.filePath("open.mes").toStdString();
  FileListWindow* list = rig.OpenRecording(path);
  QVERIFY(list);
  QCOMPARE(list->SourceFile(), path);
  QCOMPARE(list->Toolbar1().ToolTip(test::NumberOf(list->Toolbar1(), "Summary")), QString("Summary"));
  SummaryWindow* summary = test::OpenSummaryOf(*list);
  QVERIFY(summary);
  QVERIFY(WaitShown(*summary));
  QCOMPARE(summary->windowTitle(), QString("Summary - open.mes"));
  QCOMPARE(summary->Result().Records, std::int64_t{3});
  QVERIFY(summary->Scope().isVisibleTo(summary));
  // A second click brings the same window forward.
  QCOMPARE(test::OpenSummaryOf(*list), summary);
}

namespace {

// Clicks "Report" and waits until the report has been written or told.
bool RunReport(RecordListWindow& list) {
  auto* report = list.findChild<ListReport*>();
  if (!report) return false;
  QSignalSpy spy(report, &ListReport::Finished);
  test::Press(list.Toolbar1(), "Report");
  return report->Busy() ? spy.wait(20000) : !spy.isEmpty();
}

}  // namespace

void SummaryWindowTest::ReportButtonWritesTheWholeRecordingAsPdf() {
  Rig rig;
  const std::string path = tmp.filePath("week.mes").toStdString();
  FileListWindow* list = rig.OpenRecording(path);
  QVERIFY(list);
  const QString caption = list->windowTitle();
  rig.dialogs.Answers.push_back(MessageAnswer::Yes);  // the whole recording
  const std::string chosen = tmp.filePath("weekly").toStdString();
  rig.dialogs.QueueFile(chosen);
  QVERIFY(RunReport(*list));
  QCOMPARE(list->windowTitle(), caption);
  const auto& shown = rig.dialogs.History;
  QVERIFY(shown.size() >= 3);
  const auto& save = shown[shown.size() - 2];
  QCOMPARE(save.What, ScriptedDialogs::Kind::SaveFile);
  QCOMPARE(save.File.InitialPath, tmp.filePath("week.pdf").toStdString());
  QVERIFY(save.File.OverwritePrompt);
  // the summary, two pages of trends, the voltage quality
  QCOMPARE(shown.back().Text, "The report (4 pages) was written to " + chosen + ".pdf.");
  const QString text = test::PdfText(QString::fromStdString(chosen + ".pdf"));
  QVERIFY(text.contains("week.mes"));
  QVERIFY(text.contains("week-1.mes"));
  QVERIFY(text.contains("page 1 of 4"));
  QCOMPARE(list->findChild<ListReport*>()->LastOutcome().Written->Records, std::int64_t{4});
}

void SummaryWindowTest::ReportOfAnEmptyListIsToldAndWritesNothing() {
  Rig rig;
  rig.Key("List");
  ListWindow* list = rig.sampling->List();
  QVERIFY(list);
  const std::string chosen = tmp.filePath("empty.pdf").toStdString();
  rig.dialogs.QueueFile(chosen);
  QVERIFY(RunReport(*list));
  QCOMPARE(rig.dialogs.History.back().Text,
           std::string("The list holds not one record row; there is nothing to report."));
  QVERIFY(!QFile::exists(QString::fromStdString(chosen)));
  // A save dialog cancelled: nothing at all.
  const std::size_t before = rig.dialogs.History.size();
  rig.dialogs.QueueFileCancel();
  test::Press(list->Toolbar1(), "Report");
  QCOMPARE(rig.dialogs.History.size(), before + 1);
}

void SummaryWindowTest::ALiveListReportSaysWhatItHoldsUnderTheTitleChosen() {
  Rig rig;
  rig.Key("List");
  ListWindow* list = rig.sampling->List();
  QVERIFY(list);
  for (int i = 0; i < 3; ++i) rig.PollAndTick();
  const GridRows& rows = list->RecordGrid().Data();
  const std::string first = std::string(rows.Cell(1, 1)) + " " + std::string(rows.Cell(1, 2));
  const std::string chosen = tmp.filePath("live.pdf").toStdString();
  rig.dialogs.QueueFile(chosen, "Pump 3 after repair");
  // The user works in the main window meanwhile; what the report asks and
  // tells still belongs to the list.
  rig.panel.activateWindow();
  QVERIFY(RunReport(*list));
  const auto& save = rig.dialogs.History[rig.dialogs.History.size() - 2];
  QCOMPARE(save.What, ScriptedDialogs::Kind::SaveFile);
  QCOMPARE(save.Asker, std::string("List"));
  QCOMPARE(rig.dialogs.History.back().Asker, std::string("List"));
  QVERIFY(rig.dialogs.History.back().Text.find("was written to") != std::string::npos);
  // Offered: the title of what the list holds, and a file named after it.
  QCOMPARE(save.File.FieldText, LiveReadingsTitle(rows));
  QVERIFY(save.File.FieldText.find("Live readings from " + first + " to ") == 0);
  QCOMPARE(QFileInfo(QString::fromStdString(save.File.InitialPath)).fileName().toStdString(),
           TitleFileName(save.File.FieldText) + ".pdf");
  const QString text = test::PdfText(QString::fromStdString(chosen));
  QVERIFY(text.contains("Pump 3 after repair"));
  QVERIFY(text.contains("\nList"));  // the foot names the list, not a piece of its title
}

void SummaryWindowTest::TheSummaryOfAFileListClosesWithIt() {
  Rig rig;
  FileListWindow* list = rig.OpenRecording(tmp.filePath("closing.mes").toStdString());
  QVERIFY(list);
  QPointer<SummaryWindow> summary = test::OpenSummaryOf(*list);
  QVERIFY(summary);
  QVERIFY(WaitShown(*summary));
  list->close();
  QTRY_VERIFY(summary.isNull());
}

void SummaryWindowTest::LiveListSummaryIsASnapshotWithRefresh() {
  Rig rig;
  rig.Key("List");
  ListWindow* list = rig.sampling->List();
  QVERIFY(list);
  for (int i = 0; i < 4; ++i) rig.PollAndTick();
  QCOMPARE(list->RecordGrid().Rows(), 5);
  SummaryWindow* summary = test::OpenSummaryOf(*list);
  QVERIFY(summary);
  QVERIFY(WaitShown(*summary));
  QVERIFY(summary->RefreshButton().isVisibleTo(summary));
  QCOMPARE(summary->Result().Records, std::int64_t{4});
  for (int i = 0; i < 3; ++i) rig.PollAndTick();
  QCOMPARE(summary->Result().Records, std::int64_t{4});  // a snapshot
  summary->RefreshButton().click();
  QVERIFY(WaitShown(*summary));
  QCOMPARE(summary->Result().Records, std::int64_t{7});
  QCOMPARE(summary->Result().Quantities[static_cast<std::size_t>(QuantityIndexOf("V1"))].Count, std::int64_t{7});
}

QTEST_MAIN(SummaryWindowTest)
#include "SummaryWindowTest.moc"
