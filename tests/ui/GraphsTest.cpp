// The live graphs and the file plots through the main window's "Graph" and a
// file list's "Plot", with the simulated instrument on the virtual clock: the
// 28 strip charts and their timer, the inspector's opening, ranges, track
// modes, reset and print, and the file plot with its inspector.
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "PanelRig.hpp"
#include "PdfText.hpp"
#include "ToolbarKeys.hpp"
#include "app/Attach.hpp"
#include "graphs/AllPlotWindow.hpp"
#include "graphs/GraphsController.hpp"
#include "graphs/InspectorWindow.hpp"
#include "graphs/PlotWindow.hpp"
#include "graphs/RealTimeAllWindow.hpp"
#include "link/Link.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/GraphControl.hpp"
#include "platform/qt/NumberBox.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/PcSamplingController.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"
#include "text/NumberText.hpp"

using namespace qelt;

namespace {

// A main window on the simulator whose timers the test drives by hand.
struct Rig : test::PanelRig {
  GraphsController* graphs = nullptr;

  Rig() : PanelRig({2011, 7, 29, 0, 0, 0}, false) {
    graphs = AttachGraphs(panel, session, dialogs, sampling);
    Start();
  }
  RealTimeAllWindow& Live() { return *graphs->RealTimeAll(); }

  // n live polls, each followed by one tick of the live graph.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
      panel.Timer1Tick();
      Live().Tick();
    }
  }

  InspectorWindow& Inspect(int index) {
    graphs->InspectChart(index);
    return *graphs->Inspector();
  }
};

// A measurement file: the header, then records numbered from first with
// every value cell given by cell(record, quantity).
void WriteFile(const QString& path, int first, int records, const std::function<std::string(int, int)>& cell) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  std::string text = HeaderLine() + "\r\n";
  for (int k = 0; k < records; ++k) {
    text += std::to_string(first + k) + "\t2011/07/29\t10:00:00";
    for (int q = 0; q < QuantityCount; ++q) text += "\t" + cell(k, q);
    text += "\r\n";
  }
  file.write(text.data(), static_cast<qint64>(text.size()));
}

}  // namespace

class GraphsTest : public QObject {
  Q_OBJECT
 private slots:
  void LiveWindowLayoutTimerAndGraphKey();
  void StripChartsHoldTheLatestPoints();
  void InspectorOpensWithTheHistoryAndTheChartsRange();
  void RangeBoxesTrackModesAndReset();
  void InspectorPrintRestoresTheWindow();
  void EmptyInspectorAfterAWrapAndOneAtATime();
  void FilePlotAndItsInspector();
  void EmptyFileListIsNotPlotted();
  void LiveGraphLabelsStayApartInASmallWindow();

 private:
  QTemporaryDir tmp;
};

void GraphsTest::LiveGraphLabelsStayApartInASmallWindow() {
  Rig rig;
  rig.Key("Graph");
  QPointer<RealTimeAllWindow> live = rig.graphs->RealTimeAll();
  QVERIFY(live);
  for (const QSize size : {QSize(993, 728), QSize(600, 440), QSize(400, 300)}) {
    live->resize(size);
    QCoreApplication::processEvents();
    for (int i = 0; i < QuantityCount; ++i) {
      GraphControl& chart = live->Chart(i);
      chart.replot();
      const QFontMetrics metrics(chart.xAxis->tickLabelFont());
      const QVector<double> xs = chart.xAxis->tickVector();
      const QVector<QString> xLabels = chart.xAxis->tickVectorLabels();
      for (int k = 1; k < xs.size(); ++k) {
        const double apart = chart.xAxis->coordToPixel(xs[k]) - chart.xAxis->coordToPixel(xs[k - 1]);
        const double room = (metrics.horizontalAdvance(xLabels[k]) + metrics.horizontalAdvance(xLabels[k - 1])) / 2.0;
        QVERIFY2(apart > room,
                 qPrintable(QString("x labels of chart %1 at %2x%3").arg(i).arg(size.width()).arg(size.height())));
      }
      const QVector<double> ys = chart.yAxis->tickVector();
      for (int k = 1; k < ys.size(); ++k) {
        const double apart = chart.yAxis->coordToPixel(ys[k - 1]) - chart.yAxis->coordToPixel(ys[k]);
        QVERIFY2(apart > metrics.height(),
                 qPrintable(QString("y labels of chart %1 at %2x%3").arg(i).arg(size.width()).arg(size.height())));
      }
    }
  }
}

void GraphsTest::LiveWindowLayoutTimerAndGraphKey() {
  Rig rig;
  rig.session.Recorder.SampleTime = 100;
  rig.Key("Graph");
  QPointer<RealTimeAllWindow> live = rig.graphs->RealTimeAll();
  QVERIFY(live && live->isVisible());
  QCOMPARE(live->windowTitle(), QString("Real Time graph"));
  QCOMPARE(live->size(), QSize(993, 728));
  QVERIFY(rig.session.Graph.GraphOpen);
  QVERIFY(rig.session.Graph.GraphHistory);
  // The table's places: KW1 top left, TKW top right, Hz and I4 at the bottom of the totals.
  QCOMPARE(live->Chart(0).geometry(), QRect(0, 0, 249, 105));
  QCOMPARE(live->Chart(7).pos(), QPoint(248, 0));
  QCOMPARE(live->Chart(23).pos(), QPoint(744, 0));
  QCOMPARE(live->Chart(21).pos(), QPoint(744, 520));
  QCOMPARE(live->Chart(22).pos(), QPoint(744, 624));
  QCOMPARE(live->Chart(6).pos(), QPoint(0, 624));
  QCOMPARE(live->Chart(20).AxisCaption(1), QString("I3"));
  QCOMPARE(live->Chart(0).AxisMax(1), 300.0);
  QCOMPARE(live->Chart(0).AxisMax(2), 10.0);

  // First tick after 1000 ms, then every SampleTime seconds, beyond 65 535 ms.
  QVERIFY(live->Timer1().isActive());
  QCOMPARE(live->Timer1().interval(), 1000);
  rig.Ticks(3);
  QCOMPARE(live->Timer1().interval(), 100000);
  QVERIFY(live->Timer1().isActive());
  QCOMPARE(rig.session.Graph.GraphCount, 3.0f);

  rig.Key("Graph");  // open already: nothing happens
  QCOMPARE(rig.graphs->RealTimeAll(), live.data());
  QCOMPARE(rig.session.Graph.GraphCount, 3.0f);

  const double* history = rig.session.Graph.GraphHistory.get();
  live->close();
  QVERIFY(!rig.session.Graph.GraphOpen);
  QCOMPARE(rig.session.Graph.GraphCount, 3.0f);
  rig.Key("Graph");  // reopened before the closed one is gone: the count starts again, the history is the same
  QPointer<RealTimeAllWindow> again = rig.graphs->RealTimeAll();
  QVERIFY(again && again != live);
  QTRY_VERIFY(live.isNull());
  QVERIFY(rig.session.Graph.GraphOpen);
  rig.Key("Graph");
  QCOMPARE(rig.graphs->RealTimeAll(), again.data());
  QCOMPARE(rig.session.Graph.GraphCount, 0.0f);
  QCOMPARE(rig.session.Graph.GraphHistory.get(), history);
  QCOMPARE(rig.Live().Chart(0).PointCount(), 0);
}

void GraphsTest::StripChartsHoldTheLatestPoints() {
  Rig rig;
  rig.Key("Graph");
  rig.Ticks(1000);
  for (int i : {0, 5, 21, 27}) {
    GraphControl& chart = rig.Live().Chart(i);
    QCOMPARE(chart.PointCount(), GraphControl::StripPoints);
    QCOMPARE(chart.AxisMin(1), 700.0);
    QCOMPARE(chart.AxisMax(1), 1000.0);
  }
  // V1 is fitted to the voltages it shows, not left at 0..10.
  const double v1 = NumericPrefix(rig.session.Live.V1);
  QVERIFY(rig.Live().Chart(5).AxisMin(2) <= v1 && v1 <= rig.Live().Chart(5).AxisMax(2));
  QVERIFY(rig.Live().Chart(5).AxisMin(2) > 10);
  QCOMPARE(rig.session.Graph.GraphCount, 1000.0f);
}

void GraphsTest::InspectorOpensWithTheHistoryAndTheChartsRange() {
  Rig rig;
  rig.Key("Graph");
  rig.Ticks(10);
  GraphControl& chart = rig.Live().Chart(5);
  InspectorWindow& inspector = rig.Inspect(5);
  QCOMPARE(inspector.windowTitle(), QString("Real Time Graph"));
  QCOMPARE(inspector.size(), QSize(704, 560));
  QVERIFY(inspector.isVisible());
  QCOMPARE(inspector.Graph().graph(0)->dataCount(), 10);
  QCOMPARE(inspector.Graph().graph(0)->data()->at(0)->key, 1.0);
  QCOMPARE(inspector.Graph().graph(0)->data()->at(9)->key, 10.0);
  QCOMPARE(inspector.Graph().graph(0)->data()->at(9)->value,
           static_cast<double>(static_cast<float>(rig.session.Graph.History(5)[9])));
  QCOMPARE(inspector.AxisMin(1).Value(), 1.0);
  QCOMPARE(inspector.AxisMax(1).Value(), 10.0);
  QCOMPARE(inspector.AxisMin(2).Value(), chart.AxisMin(2));
  QCOMPARE(inspector.AxisMax(2).Value(), chart.AxisMax(2));
  QCOMPARE(inspector.Graph().AxisMin(1), 1.0);
  QCOMPARE(inspector.Graph().AxisMax(1), 10.0);
  QCOMPARE(inspector.Graph().AxisMin(2), chart.AxisMin(2));
  QCOMPARE(inspector.Graph().AxisCaption(1), QString("V1"));
  QCOMPARE(inspector.Unit(), QString("V1"));
  QCOMPARE(inspector.AxisMin(2).Format(), QString("0.0"));
  QCOMPARE(inspector.AxisMax(2).Increment(), 0.1);
  QVERIFY(!rig.session.Graph.RangeLoading);
  QCOMPARE(rig.session.Graph.GraphLast, 9.0f);
  QVERIFY(inspector.Stats().startsWith("Min "));

  // The frames, their captions and the eight modes with "Normal" selected.
  QStringList frames;
  for (QGroupBox* box : inspector.findChildren<QGroupBox*>()) frames << box->title();
  QCOMPARE(frames, QStringList({"Graphic Plot", "Graph Range", "Track Mode", "Cursor Information"}));
  QCOMPARE(inspector.Combo1().count(), 8);
  QCOMPARE(inspector.Combo1().itemText(1), QString("Cursor Coordinates"));
  QCOMPARE(inspector.Combo1().currentIndex(), 0);
  QCOMPARE(inspector.Description(), QString("Normal mode"));
  QCOMPARE(inspector.Graph().TrackMode(), 1);
  QCOMPARE(inspector.CmdReset().text(), QString("Reset Scale"));
  QCOMPARE(inspector.CmdPrint().text(), QString("Print Graph"));

  // A snapshot: later ticks do not reach it, and it outlives the live window.
  rig.Ticks(5);
  QCOMPARE(inspector.Graph().graph(0)->dataCount(), 10);
  QPointer<InspectorWindow> kept = &inspector;
  rig.Live().close();
  QTest::qWait(0);
  QVERIFY(kept && kept->isVisible());

  // PF2 has three decimals in its boxes and its readout.
  rig.Key("Graph");
  rig.Ticks(4);
  QTest::mouseClick(&rig.Live().Chart(10), Qt::LeftButton, {}, QPoint(120, 50));
  QTRY_VERIFY(kept.isNull());
  InspectorWindow& pf = *rig.graphs->Inspector();
  QCOMPARE(pf.Unit(), QString("PF2"));
  QCOMPARE(pf.AxisMax(2).Format(), QString("0.000"));
  QCOMPARE(pf.AxisMin(2).Increment(), 0.001);
  QCOMPARE(pf.AxisMax(1).Value(), 4.0);
  pf.SelectTrackMode(1);
  QCOMPARE(pf.YPosition().indexOf('.'), pf.YPosition().size() - 4);
}

void GraphsTest::RangeBoxesTrackModesAndReset() {
  Rig rig;
  rig.Key("Graph");
  rig.Ticks(10);
  InspectorWindow& inspector = rig.Inspect(5);
  GraphControl& graph = inspector.Graph();
  const double yMin = inspector.AxisMin(2).Value();
  const double yMax = inspector.AxisMax(2).Value();

  // Cursor Coordinates: cursor 1 in the middle, both readouts filled.
  inspector.SelectTrackMode(1);
  QCOMPARE(inspector.Description(),
           QString("Drag the cursor with your mouse to get X (Count) and Y (Value) position."));
  QVERIFY(graph.CursorVisible(1));
  QVERIFY(!graph.CursorVisible(2));
  QCOMPARE(graph.CursorMode(1), 1);
  QCOMPARE(graph.CursorMode(2), 1);
  QCOMPARE(graph.CursorPosition(1), QPointF(5.5, (yMin + yMax) / 2));
  QCOMPARE(inspector.XPosition(), QString("5.5"));
  QCOMPARE(inspector.YPosition(), QString::fromStdString(FormatPattern((yMin + yMax) / 2, "0.0")));
  // A press on the plot moves it to the nearest sample.
  inspector.Graph().replot();
  const QPoint at(static_cast<int>(graph.xAxis->coordToPixel(3.2)), graph.height() / 2);
  QTest::mousePress(&graph, Qt::LeftButton, {}, at);
  QTest::mouseRelease(&graph, Qt::LeftButton, {}, at);
  QCOMPARE(inspector.XPosition(), QString("3"));
  QCOMPARE(graph.CursorPosition(1).y(), graph.graph(0)->data()->at(2)->value);
  inspector.SelectTrackMode(2);
  QVERIFY(!graph.CursorVisible(1));
  QCOMPARE(graph.TrackMode(), 3);
  // No cursor, no readout.
  QVERIFY(inspector.XPosition().isEmpty());
  QVERIFY(inspector.YPosition().isEmpty());

  // A new X maximum applies both axes, Y from its boxes as they stand.
  inspector.AxisMin(2).SetValue(200);
  inspector.AxisMax(1).SetValue(7);
  QCOMPARE(graph.AxisMax(1), 7.0);
  QCOMPARE(graph.AxisMin(2), 200.0);
  // A minimum at or above its maximum leaves that axis alone.
  inspector.AxisMin(1).SetValue(7);
  QCOMPARE(graph.AxisMin(1), 1.0);
  QCOMPARE(graph.AxisMax(1), 7.0);
  inspector.AxisMin(1).SetValue(9);
  QCOMPARE(graph.AxisMin(1), 1.0);
  // The box says so until either box mends it.
  QVERIFY(inspector.AxisMin(1).HasProblem());
  QVERIFY(!inspector.AxisMin(1).toolTip().isEmpty());
  QVERIFY(!inspector.AxisMax(1).HasProblem());
  inspector.AxisMax(1).SetValue(12);
  QVERIFY(!inspector.AxisMin(1).HasProblem());
  QCOMPARE(graph.AxisMin(1), 9.0);
  inspector.AxisMin(1).SetValue(1);
  inspector.AxisMax(1).SetValue(7);

  // It shrinks no further than keeps its controls whole.
  QVERIFY(inspector.minimumWidth() >= inspector.FrmGraphic().geometry().right());
  const QSize designed = inspector.size();
  inspector.resize(100, 100);
  QVERIFY(inspector.FrmGraphic().geometry().right() < inspector.width());
  QVERIFY(inspector.FrmGraphic().geometry().bottom() < inspector.height());
  QVERIFY(inspector.Graph().height() > 100);
  inspector.resize(designed);

  // Zoom, then "Reset Scale" brings back 1..10 and the chart's Y range.
  inspector.SelectTrackMode(5);
  QCOMPARE(graph.TrackMode(), 6);
  graph.replot();
  const QPoint a(static_cast<int>(graph.xAxis->coordToPixel(2)), 60);
  const QPoint b(static_cast<int>(graph.xAxis->coordToPixel(4)), 200);
  QTest::mousePress(&graph, Qt::LeftButton, {}, a);
  QTest::mouseMove(&graph, b);
  QTest::mouseRelease(&graph, Qt::LeftButton, {}, b);
  QVERIFY(qAbs(graph.AxisMax(1) - 4) < 0.1);
  // The boxes follow the user's zoom.
  QCOMPARE(inspector.AxisMax(1).Value(), graph.AxisMax(1));
  QCOMPARE(inspector.AxisMin(2).Value(), graph.AxisMin(2));
  QTest::mouseClick(&inspector.CmdReset(), Qt::LeftButton);
  QCOMPARE(graph.AxisMin(1), 1.0);
  QCOMPARE(graph.AxisMax(1), 10.0);
  QCOMPARE(graph.AxisMin(2), yMin);
  QCOMPARE(graph.AxisMax(2), yMax);
  QCOMPARE(inspector.AxisMax(1).Value(), 10.0);
  QCOMPARE(inspector.AxisMin(2).Value(), yMin);
}

void GraphsTest::InspectorPrintRestoresTheWindow() {
  Rig rig;
  rig.Key("Graph");
  rig.Ticks(10);
  InspectorWindow& inspector = rig.Inspect(0);
  const QSize size = inspector.size();
  const QPoint graphAt = inspector.Graph().pos();
  const QColor area = inspector.Graph().PlotAreaColor();

  rig.dialogs.Printers.push_back(std::nullopt);  // cancelled
  QTest::mouseClick(&inspector.CmdPrint(), Qt::LeftButton);
  QCOMPARE(rig.dialogs.History.back().What, ScriptedDialogs::Kind::Printer);
  QCOMPARE(inspector.size(), size);
  QVERIFY(inspector.FrmGraphic().isVisible());

  const QString pdf = tmp.filePath("inspector.pdf");
  PrinterChoice choice;
  choice.OutputFile = pdf.toStdString();
  choice.Orientation = PageOrientation::Landscape;
  rig.dialogs.Printers.push_back(choice);
  inspector.PrintGraph();
  QFile file(pdf);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  QVERIFY(bytes.startsWith("%PDF"));
  QCOMPARE(qelt::test::PdfText(pdf).count('\f'), 1);
  QCOMPARE(inspector.size(), size);
  QCOMPARE(inspector.Graph().pos(), graphAt);
  QCOMPARE(inspector.Graph().PlotAreaColor(), area);
  QVERIFY(inspector.FrmGraphic().isVisible());
  QVERIFY(!inspector.autoFillBackground());

  // A file that cannot be written is reported, and the window is put back.
  choice.OutputFile = "/nonexistent-dir/x.pdf";
  rig.dialogs.Printers.push_back(choice);
  inspector.PrintGraph();
  QCOMPARE(rig.dialogs.History.back().Icon, MessageIcon::Stop);
  QCOMPARE(inspector.size(), size);
  QVERIFY(inspector.FrmGraphic().isVisible());
}

void GraphsTest::EmptyInspectorAfterAWrapAndOneAtATime() {
  Rig rig;
  rig.Key("Graph");
  InspectorWindow& before = rig.Inspect(3);  // before the first tick
  QCOMPARE(before.Graph().graph(0)->dataCount(), 0);
  QCOMPARE(before.AxisMin(1).Value(), 0.0);
  QCOMPARE(before.AxisMax(1).Value(), 1.0);
  QCOMPARE(before.Graph().AxisMax(1), 1.0);
  before.SelectTrackMode(1);  // the cursor has nothing to snap to, but shows
  QCOMPARE(before.XPosition(), QString("0.5"));

  rig.Ticks(3);
  rig.session.Graph.GraphCount = static_cast<float>(GraphSlots - 1);
  rig.Ticks(1);  // writes the last slot and wraps
  QCOMPARE(rig.session.Graph.GraphCount, 0.0f);
  QPointer<InspectorWindow> first = rig.graphs->Inspector();
  InspectorWindow& after = rig.Inspect(3);
  QTRY_VERIFY(first.isNull());  // replaced
  QCOMPARE(after.Graph().graph(0)->dataCount(), 0);
  QCOMPARE(after.Graph().AxisMin(1), 0.0);
  QCOMPARE(after.Graph().AxisMax(1), 1.0);
  QCOMPARE(after.Combo1().currentIndex(), 0);

  rig.Ticks(1);
  InspectorWindow& one = rig.Inspect(3);
  QCOMPARE(one.Graph().graph(0)->dataCount(), 1);
  QCOMPARE(one.Graph().AxisMin(1), 0.5);
  QCOMPARE(one.Graph().AxisMax(1), 1.5);
}

void GraphsTest::FilePlotAndItsInspector() {
  Rig rig;
  const QString path = tmp.filePath("plot.mes");
  WriteFile(path, 11, 10, [](int k, int q) -> std::string {
    if (q == 5 && k == 2) return "-OL";  // V1
    if (q == 5 && k == 3) return "-3.2";
    if (q == 26 && k == 4) return "OL";  // TPF
    if (q == 26) return "0.950";
    return std::to_string(100 + k) + ".0";
  });
  rig.dialogs.QueueFile(path.toStdString());
  rig.Key("Open");
  QPointer<FileListWindow> list = rig.sampling->FileList();
  QVERIFY(list);
  const QString caption = list->windowTitle();
  test::Press(list->Toolbar1(), "Plot");
  QCOMPARE(rig.session.Recorder.PlotRecordCount, 10.0f);
  QPointer<AllPlotWindow> all = rig.graphs->AllPlot();
  QVERIFY(all && all->isVisible());
  QCOMPARE(all->windowTitle(), QString("Plot Data/File"));
  QCOMPARE(list->windowTitle(), caption);
  QCOMPARE(rig.session.Graph.PlotOffset, 10.0f);
  QCOMPARE(rig.session.Graph.PlotName, std::string("TTheta"));
  QCOMPARE(all->Chart(23).pos(), QPoint(744, 0));
  for (int i = 0; i < QuantityCount; ++i) {
    QCOMPARE(all->Chart(i).AxisMin(1), 11.0);
    QCOMPARE(all->Chart(i).AxisMax(1), 20.0);
    QCOMPARE(all->Chart(i).graph(0)->dataCount(), 10);
  }
  // V1: "-OL" at 0, -3.2 as it is; Y fitted to the data.
  GraphControl& v1 = all->Chart(5);
  QCOMPARE(v1.graph(0)->data()->at(2)->value, 0.0);
  QCOMPARE(v1.graph(0)->data()->at(3)->value, static_cast<double>(-3.2f));
  QVERIFY(v1.AxisMin(2) < -3.2 && v1.AxisMax(2) > 109);
  QCOMPARE(all->Chart(26).graph(0)->data()->at(4)->value, 1.0);

  // "Plot" again replaces the window.
  test::Press(list->Toolbar1(), "Plot");
  QTRY_VERIFY(all.isNull());
  all = rig.graphs->AllPlot();

  // The list goes; the plot's own copy still opens "Plot".
  list->close();
  QTRY_VERIFY(list.isNull());
  QTest::mouseClick(&all->Chart(5), Qt::LeftButton, {}, QPoint(120, 50));
  PlotWindow* plot = rig.graphs->Plot();
  QVERIFY(plot && plot->isVisible());
  QCOMPARE(plot->windowTitle(), QString("Plot"));
  QCOMPARE(plot->size(), QSize(704, 559));
  QCOMPARE(plot->Unit(), QString("V1"));
  QCOMPARE(plot->AxisMin(1).Value(), 11.0);
  QCOMPARE(plot->AxisMax(1).Value(), 20.0);
  QCOMPARE(plot->Graph().graph(0)->data()->at(2)->value,
           static_cast<double>(static_cast<float>(all->Chart(5).AxisMin(2))));
  QCOMPARE(plot->Graph().graph(0)->data()->at(3)->value, static_cast<double>(-3.2f));
  QCOMPARE(rig.session.Graph.PlotIndex, 5);
  QCOMPARE(rig.session.Graph.PlotYMin, all->Chart(5).AxisMin(2));
  plot->AxisMax(1).SetValue(15);
  QTest::mouseClick(&plot->CmdReset(), Qt::LeftButton);
  QCOMPARE(plot->Graph().AxisMin(1), 11.0);
  QCOMPARE(plot->Graph().AxisMax(1), 20.0);

  // TPF: the "OL" record at the top of the graph's range, three decimals.
  QPointer<PlotWindow> first = plot;
  all->close();
  QTRY_VERIFY(all.isNull());
  QVERIFY(first);  // closing the file plot leaves its inspector
  list = nullptr;
  rig.dialogs.QueueFile(path.toStdString());
  rig.Key("Open");
  rig.sampling->FileList()->PlotCommand();
  rig.graphs->InspectPlot(26);
  QTRY_VERIFY(first.isNull());
  plot = rig.graphs->Plot();
  QCOMPARE(plot->AxisMax(2).Format(), QString("0.000"));
  QCOMPARE(plot->Graph().graph(0)->data()->at(4)->value,
           static_cast<double>(static_cast<float>(rig.graphs->AllPlot()->Chart(26).AxisMax(2))));
}

void GraphsTest::EmptyFileListIsNotPlotted() {
  Rig rig;
  const QString path = tmp.filePath("empty.mes");
  WriteFile(path, 1, 0, [](int, int) { return std::string(); });
  rig.dialogs.QueueFile(path.toStdString());
  rig.Key("Open");
  QVERIFY(rig.sampling->FileList());
  rig.sampling->FileList()->PlotCommand();
  QCOMPARE(rig.dialogs.History.back().Text, std::string("There are no records to plot."));
  QCOMPARE(rig.dialogs.History.back().Icon, MessageIcon::Stop);
  QVERIFY(!rig.graphs->AllPlot());
}

QTEST_MAIN(GraphsTest)
#include "GraphsTest.moc"
