// The graph control and the number box on their own: ranges, strip charts,
// plotted arrays, track modes with the mouse, cursors, and the number box's
// exact value, display and change events.
#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/GraphControl.hpp"
#include "platform/qt/NumberBox.hpp"

using namespace qelt;

namespace {
// The graph on the screen at 400 x 300 with both axes 0..100.
bool ShowHundredByHundred(GraphControl& graph) {
  graph.resize(400, 300);
  graph.show();
  if (!QTest::qWaitForWindowExposed(&graph)) return false;
  graph.SetAxisRange(1, 0, 100);
  graph.SetAxisRange(2, 0, 100);
  graph.replot();
  return true;
}
}  // namespace

class GraphWidgetsTest : public QObject {
  Q_OBJECT
 private slots:
  void NumberBoxKeepsTheExactValueAndReportsEverySet();
  void RangesAreExactAndAnEmptyOrReversedOneIsRefused();
  void StripChartKeepsTheLatestPointsAndFitsY();
  void PlottedArrayReplacesTheEarlierOne();
  void CursorModeSnapsToTheNearestSample();
  void PanAndZoomFollowTheTrackMode();
  void WheelZoomsAtThePointerButNotInCursorMode();
  void ClicksAndImages();
};

void GraphWidgetsTest::NumberBoxKeepsTheExactValueAndReportsEverySet() {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  NumberBox box(2);
  QSignalSpy changed(&box, &NumberBox::ValueChanged);
  box.SetFormat("0.000");
  box.SetValue(0.12345678);
  QCOMPARE(box.Value(), 0.12345678);
  QCOMPARE(box.Text(), QString("0.123"));
  QCOMPARE(box.Editor()->text(), QString("0.123"));
  box.SetValue(0.12345678);  // the same value again is still a change event
  QCOMPARE(changed.count(), 2);
  QCOMPARE(changed.at(0).at(0).toInt(), 2);

  box.SetFormat("0.0");
  box.SetValue(432001);
  QCOMPARE(box.Text(), QString("432001.0"));
  box.SetValue(-1e9);
  QCOMPARE(box.Value(), -1e9);
  box.SetFormat({});  // record numbers: the general number text
  QCOMPARE(box.Text(), QString("-1000000000"));
  box.SetValue(17.5);
  QCOMPARE(box.Text(), QString("17.5"));
  box.SetValue(9.6446571);
  QCOMPARE(box.Text(), QString("9.64"));
  QCOMPARE(box.Value(), 9.6446571);
  box.SetFormat("0.0");

  box.SetValue(1.0);
  box.SetIncrement(0.1);
  box.stepBy(2);
  QCOMPARE(box.Text(), QString("1.2"));
  box.stepBy(-3);
  QCOMPARE(box.Text(), QString("0.9"));

  // A typed value is taken when editing ends; the shown text alone keeps the exact value.
  box.SetValue(2.345);
  const int before = changed.count();
  emit box.editingFinished();
  QCOMPARE(box.Value(), 2.345);
  QCOMPARE(changed.count(), before);
  box.Editor()->setText("17.25");
  emit box.editingFinished();
  QCOMPARE(box.Value(), 17.25);
  QCOMPARE(changed.count(), before + 1);
  QString letters = "12a";
  int pos = 0;
  QCOMPARE(box.validate(letters, pos), QValidator::Invalid);
  QLocale::setDefault(QLocale::c());
}

void GraphWidgetsTest::RangesAreExactAndAnEmptyOrReversedOneIsRefused() {
  GraphControl graph;
  QSignalSpy user(&graph, &GraphControl::UserRangeChanged);
  QCOMPARE(graph.AxisMin(1), 0.0);
  QCOMPARE(graph.AxisMax(2), 10.0);
  QVERIFY(graph.SetAxisRange(1, 1, 432001));
  QVERIFY(graph.SetAxisRange(2, -0.25, 0.75));
  QCOMPARE(graph.AxisMin(1), 1.0);
  QCOMPARE(graph.AxisMax(1), 432001.0);
  QCOMPARE(graph.AxisMin(2), -0.25);
  QVERIFY(!graph.SetAxisRange(1, 5, 5));
  QVERIFY(!graph.SetAxisRange(2, 3, 2));
  QCOMPARE(graph.AxisMin(1), 1.0);
  QCOMPARE(graph.AxisMax(2), 0.75);
  QCOMPARE(user.count(), 0);  // the program's own ranges are not the user's
  graph.SetAxisCaption(1, "PF2");
  QCOMPARE(graph.AxisCaption(1), QString("PF2"));
  graph.SetPlotAreaColor(Qt::white);
  QCOMPARE(graph.PlotAreaColor(), QColor(Qt::white));
}

void GraphWidgetsTest::StripChartKeepsTheLatestPointsAndFitsY() {
  GraphControl chart;
  chart.SetAxisRange(1, 0, 300);
  for (int i = 1; i <= 10; ++i) chart.ChartAppend(100 + i);
  QCOMPARE(chart.PointCount(), 10);
  QCOMPARE(chart.AxisMin(1), 0.0);
  QCOMPARE(chart.AxisMax(1), 300.0);
  QVERIFY(chart.AxisMin(2) < 101 && chart.AxisMin(2) > 100);
  QVERIFY(chart.AxisMax(2) > 110 && chart.AxisMax(2) < 111);
  for (int i = 11; i <= 1000; ++i) chart.ChartAppend(i % 2 ? -5.0 : 5.0);
  QCOMPARE(chart.PointCount(), GraphControl::StripPoints);
  QCOMPARE(chart.AxisMin(1), 700.0);
  QCOMPARE(chart.AxisMax(1), 1000.0);
  QVERIFY(chart.AxisMin(2) < -5 && chart.AxisMin(2) > -7);  // the old 110 has scrolled out
  QVERIFY(chart.AxisMax(2) > 5 && chart.AxisMax(2) < 7);
  GraphControl flat;
  flat.ChartAppend(0);
  QVERIFY(flat.AxisMin(2) < 0 && flat.AxisMax(2) > 0);
}

void GraphWidgetsTest::PlottedArrayReplacesTheEarlierOne() {
  GraphControl graph;
  graph.PlotY({1, 2, 3, 4}, 1, 1);
  graph.PlotY({7, -3, 5}, 11, 2);
  QCOMPARE(graph.graph(0)->dataCount(), 3);
  QCOMPARE(graph.graph(0)->data()->at(0)->key, 11.0);
  QCOMPARE(graph.graph(0)->data()->at(2)->key, 15.0);
  QCOMPARE(graph.graph(0)->data()->at(1)->value, -3.0);
  graph.FitY();
  QVERIFY(graph.AxisMin(2) < -3 && graph.AxisMax(2) > 7);
}

void GraphWidgetsTest::CursorModeSnapsToTheNearestSample() {
  GraphControl graph;
  graph.resize(400, 300);
  graph.show();
  QVERIFY(QTest::qWaitForWindowExposed(&graph));
  graph.PlotY({10, 20, 30, 40, 50}, 1, 1);
  graph.SetAxisRange(1, 0, 6);
  graph.SetAxisRange(2, 0, 60);
  graph.replot();
  QSignalSpy moved(&graph, &GraphControl::CursorChanged);
  graph.SetTrackMode(2);
  graph.SetCursorMode(1, 1);
  QCOMPARE(graph.CursorMode(1), 1);
  graph.SetCursorVisible(1, true);
  QVERIFY(graph.CursorVisible(1));
  QVERIFY(!graph.CursorVisible(2));
  const int x = static_cast<int>(graph.xAxis->coordToPixel(3.3));
  const int y = static_cast<int>(graph.yAxis->coordToPixel(5));
  QTest::mousePress(&graph, Qt::LeftButton, {}, QPoint(x, y));
  QTest::mouseRelease(&graph, Qt::LeftButton, {}, QPoint(x, y));
  QVERIFY(!moved.isEmpty());
  QCOMPARE(moved.last().at(0).toInt(), 1);
  QCOMPARE(moved.last().at(1).toDouble(), 3.0);
  QCOMPARE(moved.last().at(2).toDouble(), 30.0);
  QCOMPARE(graph.CursorPosition(1), QPointF(3, 30));
  QVERIFY(graph.SnapCursor(100));
  QCOMPARE(graph.CursorPosition(1), QPointF(5, 50));
}

void GraphWidgetsTest::PanAndZoomFollowTheTrackMode() {
  GraphControl graph;
  QVERIFY(ShowHundredByHundred(graph));
  QSignalSpy user(&graph, &GraphControl::UserRangeChanged);
  auto drag = [&](QPoint from, QPoint to) {
    QTest::mousePress(&graph, Qt::LeftButton, {}, from);
    QTest::mouseMove(&graph, (from + to) / 2);
    QTest::mouseMove(&graph, to);
    QTest::mouseRelease(&graph, Qt::LeftButton, {}, to);
  };
  const QPoint a(static_cast<int>(graph.xAxis->coordToPixel(20)), static_cast<int>(graph.yAxis->coordToPixel(80)));
  const QPoint b(static_cast<int>(graph.xAxis->coordToPixel(60)), static_cast<int>(graph.yAxis->coordToPixel(40)));

  graph.SetTrackMode(1);  // normal: a drag changes nothing
  drag(a, b);
  QCOMPARE(graph.AxisMin(1), 0.0);
  QCOMPARE(graph.AxisMin(2), 0.0);

  graph.SetTrackMode(7);      // zoom X only
  drag(a, a + QPoint(3, 3));  // a few pixels: no zoom
  QCOMPARE(graph.AxisMin(1), 0.0);
  drag(a, b);
  QVERIFY(qAbs(graph.AxisMin(1) - 20) < 1.5);
  QVERIFY(qAbs(graph.AxisMax(1) - 60) < 1.5);
  QCOMPARE(graph.AxisMin(2), 0.0);
  QCOMPARE(graph.AxisMax(2), 100.0);
  QVERIFY(!user.isEmpty());

  graph.SetAxisRange(1, 0, 100);
  graph.replot();
  graph.SetTrackMode(6);  // zoom XY
  drag(a, b);
  QVERIFY(qAbs(graph.AxisMin(2) - 40) < 1.5);
  QVERIFY(qAbs(graph.AxisMax(2) - 80) < 1.5);

  graph.SetAxisRange(1, 0, 100);
  graph.SetAxisRange(2, 0, 100);
  graph.replot();
  graph.SetTrackMode(4);  // pan X: Y stays
  drag(b, a);
  QVERIFY(qAbs(graph.AxisMin(1) - 40) < 1.5);
  QCOMPARE(graph.AxisMin(2), 0.0);
  graph.SetTrackMode(5);  // pan Y: X stays
  const double xBefore = graph.AxisMin(1);
  drag(b, a);
  QCOMPARE(graph.AxisMin(1), xBefore);
  QVERIFY(qAbs(graph.AxisMin(2) + 40) < 1.5);
}

void GraphWidgetsTest::WheelZoomsAtThePointerButNotInCursorMode() {
  GraphControl graph;
  QVERIFY(ShowHundredByHundred(graph));
  QSignalSpy user(&graph, &GraphControl::UserRangeChanged);
  auto wheel = [&](double x) {
    const QPointF at(graph.xAxis->coordToPixel(x), graph.yAxis->coordToPixel(50));
    QWheelEvent event(at, graph.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&graph, &event);
  };
  wheel(20);  // without wheel zoom (the small charts) nothing moves
  QCOMPARE(graph.AxisMax(1), 100.0);
  graph.SetWheelZoom(true);
  graph.SetTrackMode(2);
  wheel(20);
  QCOMPARE(graph.AxisMax(1), 100.0);
  QCOMPARE(user.count(), 0);
  graph.SetTrackMode(1);
  wheel(20);
  QVERIFY(graph.AxisMax(1) < 100);
  QVERIFY(graph.AxisMin(1) > 0);
  // The point under the pointer stays where it was.
  QVERIFY(qAbs((20 - graph.AxisMin(1)) / (graph.AxisMax(1) - graph.AxisMin(1)) - 0.2) < 0.02);
  QVERIFY(!user.isEmpty());
}

void GraphWidgetsTest::ClicksAndImages() {
  GraphControl graph(17);
  graph.resize(300, 200);
  graph.show();
  QVERIFY(QTest::qWaitForWindowExposed(&graph));
  QSignalSpy clicked(&graph, &GraphControl::Clicked);
  QSignalSpy doubled(&graph, &GraphControl::DoubleClicked);
  QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(150, 100));
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked.at(0).at(0).toInt(), 17);
  QTest::mouseClick(&graph, Qt::RightButton, {}, QPoint(150, 100));
  QCOMPARE(clicked.count(), 1);
  QTest::mouseDClick(&graph, Qt::LeftButton, {}, QPoint(150, 100));
  QCOMPARE(doubled.count(), 1);

  QTemporaryDir dir;
  graph.PlotY({1, 3, 2}, 1, 1);
  // The right-click menu saves through the save dialog.
  ScriptedDialogs dialogs;
  graph.SetDialogs(&dialogs);
  dialogs.QueueFile(dir.filePath("menu.png").toStdString());
  QStringList items;
  QTimer::singleShot(50, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    for (QAction* action : menu->actions()) items << action->text();
    menu->actions().first()->trigger();
    menu->close();
  });
  emit graph.customContextMenuRequested(QPoint(20, 20));
  QCOMPARE(items, QStringList({QString::fromUtf8("Save Image\u2026"), "Copy"}));
  QCOMPARE(dialogs.History.back().What, ScriptedDialogs::Kind::SaveFile);
  QVERIFY(QImage(dir.filePath("menu.png")).width() > 0);

  QVERIFY(graph.SaveImage(dir.filePath("g.png")));
  QVERIFY(graph.SaveImage(dir.filePath("g.pdf")));
  QVERIFY(QImage(dir.filePath("g.png")).width() > 0);
  QFile pdf(dir.filePath("g.pdf"));
  QVERIFY(pdf.open(QIODevice::ReadOnly));
  QVERIFY(pdf.read(4) == "%PDF");
}

QTEST_MAIN(GraphWidgetsTest)
#include "GraphWidgetsTest.moc"
