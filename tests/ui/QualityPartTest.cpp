// The Summary window's "Quality" part: its figures, events and verdict from
// a list's rows, Copy including it, the line-to-line reading of a 3P3W set,
// and a double-click on an event showing its record in the file plot.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "OpenSummary.hpp"
#include "PanelRig.hpp"
#include "ToolbarKeys.hpp"
#include "analysis/QualityPart.hpp"
#include "analysis/SummaryWindow.hpp"
#include "app/Attach.hpp"
#include "graphs/AllPlotWindow.hpp"
#include "graphs/GraphsController.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/GraphControl.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/PcSamplingController.hpp"

using namespace qelt;

namespace {

// Record n at 00:00:00 + (n - 1) s, all three phases at the voltage text.
std::string Record(int n, const std::string& v) {
  ValueTexts texts;
  for (int q = 0; q < QuantityCount; ++q) texts[static_cast<std::size_t>(q)] = IsThreeDecimal(q) ? "0.950" : "050.0";
  for (const char* name : {"V1", "V2", "V3"}) texts[static_cast<std::size_t>(QuantityIndexOf(name))] = v;
  const int s = n - 1;
  return RecordLine(n, SampleLine(DateTime{2026, 3, 1, s / 3600, s / 60 % 60, s % 60}, texts));
}

// Forty records at 230 V (the mean stays nearest to 230 V) with a dip to
// 150 V at records 5 and 6.
std::vector<std::string> Voltages() {
  std::vector<std::string> v(40, "230.0");
  v[4] = v[5] = "150.0";
  return v;
}

GridRows Rows(const std::vector<std::string>& v) {
  GridRows grid(RecordColumns);
  grid.AddRow(HeaderLine());
  for (std::size_t i = 0; i < v.size(); ++i) grid.AddRow(Record(static_cast<int>(i) + 1, v[i]));
  return grid;
}

// Both parts run at once; Copy takes what each has shown.
bool WaitQuality(SummaryWindow& window) {
  QualityPart& part = window.QualityPage();
  QSignalSpy quality(&part, &QualityPart::Shown);
  QSignalSpy summary(&window, &SummaryWindow::Shown);
  if (part.Busy() && !quality.wait(10000)) return false;
  return !window.Busy() || summary.wait(10000);
}

struct Rig : test::PanelRig {
  GraphsController* graphs = nullptr;
  Rig() : PanelRig({2026, 3, 1, 0, 0, 0}, false) {
    graphs = AttachGraphs(panel, session, dialogs, sampling);
    AttachSummaryAndReport(dialogs, sampling, nullptr, graphs);
    Start();
  }
};

}  // namespace

class QualityPartTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(tmp.isValid()); }
  void cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<SummaryWindow*>(w)) delete w;
  }
  void ShowsTheEventsAndTheVerdictAndCopyIncludesThem();
  void AThreeWireSetIsReadLineToLine();
  void ADoubleClickShowsTheEventInTheFilePlotOrSaysThereIsNone();

 private:
  QTemporaryDir tmp;
};

void QualityPartTest::ShowsTheEventsAndTheVerdictAndCopyIncludesThem() {
  ScriptedDialogs dialogs;
  SummarySource source;
  source.Rows = [] { return std::vector<GridRows>{Rows(Voltages())}; };
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitQuality(window));
  QualityPart& part = window.QualityPage();
  QCOMPARE(part.Result().Events.size(), std::size_t{1});
  QCOMPARE(part.Events().rowCount(), 1);
  QCOMPARE(part.Events().item(0, 0)->text(), QString("dip"));
  QCOMPARE(part.Events().item(0, 1)->text(), QString("2026/03/01 00:00:04"));
  QCOMPARE(part.Events().item(0, 3)->text(), QString("2"));
  QCOMPARE(part.Verdict().text(), QString("Voltage quality (EN 50160): incomplete"));
  QVERIFY(part.Verdict().toolTip().contains("nearest to the mean"));
  QVERIFY(part.Figures().rowCount() > 10);
  window.CopyCommand();
  const QString copied = QApplication::clipboard()->text();
  QVERIFY(copied.contains("Total active energy imported\t"));
  QVERIFY(copied.contains("Voltage quality against EN 50160"));
  QVERIFY(copied.contains("\ndip\t2026/03/01 00:00:04\t2026/03/01 00:00:06\t2\t150.0\t"));
  QVERIFY(copied.contains("Nominal voltage Un\t230.0 V\t"));
}

void QualityPartTest::AThreeWireSetIsReadLineToLine() {
  ScriptedDialogs dialogs;
  SummarySource source;
  source.LineVoltages = true;
  source.Rows = [] { return std::vector<GridRows>{Rows(Voltages())}; };
  SummaryWindow window(source, dialogs);
  QVERIFY(WaitQuality(window));
  QVERIFY(window.QualityPage().Result().LineVoltages);
  QVERIFY(window.QualityPage().Verdict().text().contains("line-to-line (3P3W wiring)"));
}

void QualityPartTest::ADoubleClickShowsTheEventInTheFilePlotOrSaysThereIsNone() {
  Rig rig;
  const std::string path = tmp.filePath("dip.mes").toStdString();
  {
    std::ofstream out(path, std::ios::binary);
    out << HeaderLine() << "\r\n";
    const std::vector<std::string> v = Voltages();
    for (std::size_t i = 0; i < v.size(); ++i) out << Record(static_cast<int>(i) + 1, v[i]) << "\r\n";
  }
  rig.dialogs.QueueFile(path);
  rig.Key("Open");
  FileListWindow* list = rig.sampling->FileList();
  QVERIFY(list);
  SummaryWindow* summary = test::OpenSummaryOf(*list);
  QVERIFY(summary);
  QVERIFY(WaitQuality(*summary));
  QualityPart& part = summary->QualityPage();
  QSignalSpy wanted(&part, &QualityPart::RecordWanted);
  emit part.Events().cellDoubleClicked(0, 1);
  QCOMPARE(wanted.count(), 1);
  QCOMPARE(wanted[0][0].toString(), QString::fromStdString(path));
  QCOMPARE(wanted[0][1].toLongLong(), qint64{5});
  QVERIFY(part.Verdict().text().contains("no file plot is open"));

  test::Press(list->Toolbar1(), "Plot");
  AllPlotWindow* plot = rig.graphs->AllPlot();
  QVERIFY(plot);
  emit part.Events().cellDoubleClicked(0, 0);
  for (int i : {0, 5, 27}) {
    QVERIFY(plot->Chart(i).CursorVisible(1));
    QCOMPARE(plot->Chart(i).CursorPosition(1).x(), 5.0);  // record 5 of the plotted table
  }
}

QTEST_MAIN(QualityPartTest)
#include "QualityPartTest.moc"
