// The grid widget and its model.
#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>

#include "platform/qt/Grid.hpp"

using namespace qelt;

class GridTest : public QObject {
  Q_OBJECT
 private slots:
  void ModelPassesTheTesterThroughEveryChange();
  void CellsTitlesAndCurrentCell();
  void ColumnWidthIsThePrintedWidthOfTheSample();
  void TopRowScrollsByWholeRows();
  void ClickReportsTheGridRow();
  void HundredThousandRowsAppendAndScroll();
  void CtrlCCopiesTheSelectedRangeWithTheTitles();
};

void GridTest::ModelPassesTheTesterThroughEveryChange() {
  GridModel model(3, 1);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
  QCOMPARE(model.rowCount(), 0);
  model.SetCell(0, 0, "No.s");
  model.AddRow("1\ta\tb");
  model.AddRow("2\tc");
  QCOMPARE(model.rowCount(), 2);
  QCOMPARE(model.data(model.index(1, 1)).toString(), QString("c"));
  QCOMPARE(model.data(model.index(1, 2)).toString(), QString(""));
  QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("No.s"));
  model.SetCell(2, 2, "z");
  model.SetColCount(5);
  model.SetColCount(2);
  model.SetRowCount(10);
  QCOMPARE(model.rowCount(), 9);
  model.SetRowCount(1);
  QCOMPARE(model.rowCount(), 0);
  QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("No.s"));  // the titles stay

  GridModel plain(2, 0);
  QAbstractItemModelTester plainTester(&plain, QAbstractItemModelTester::FailureReportingMode::QtTest);
  plain.AddRow("x\ty");
  QCOMPARE(plain.rowCount(), 1);
  QCOMPARE(plain.data(plain.index(0, 1)).toString(), QString("y"));
  QVERIFY(!plain.headerData(0, Qt::Horizontal).isValid());
}

void GridTest::CellsTitlesAndCurrentCell() {
  Grid grid(31);
  QCOMPARE(grid.Rows(), 1);
  QCOMPARE(grid.Cols(), 31);
  grid.SetTextMatrix(0, 1, "      Date");
  grid.AddItem("1\t2011/07/29\t13:45:07");
  grid.AddItem("2\t2011/07/29\t13:45:08\textra");
  QCOMPARE(grid.Rows(), 3);
  QCOMPARE(grid.TextMatrix(0, 1), std::string("      Date"));
  QCOMPARE(grid.TextMatrix(2, 2), std::string("13:45:08"));
  QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QString("      Date"));

  grid.SetCurrentCell(2, 1);
  QCOMPARE(grid.Row(), 2);
  QCOMPARE(grid.Col(), 1);
  QCOMPARE(grid.Text(), std::string("2011/07/29"));
  QCOMPARE(grid.currentIndex().row(), 1);
  grid.SetText("2011/07/30");
  QCOMPARE(grid.TextMatrix(2, 1), std::string("2011/07/30"));
  grid.SetCurrentCell(0, 0);
  QCOMPARE(grid.Text(), std::string(""));

  grid.SetRows(1);
  QCOMPARE(grid.Rows(), 1);
  QCOMPARE(grid.TextMatrix(0, 1), std::string("      Date"));
}

void GridTest::ColumnWidthIsThePrintedWidthOfTheSample() {
  Grid grid(3);
  grid.SetColWidthFromSample(0, " 000000 ");
  grid.SetColWidthFromSample(1, "AAAA/AA/AA");
  QCOMPARE(grid.ColWidth(0), grid.fontMetrics().horizontalAdvance(" 000000 "));
  QCOMPARE(grid.ColWidth(1), grid.fontMetrics().horizontalAdvance("AAAA/AA/AA"));
  QVERIFY(grid.ColWidth(1) > grid.ColWidth(0));
  grid.SetColWidth(2, 17);
  QCOMPARE(grid.ColWidth(2), 17);
}

void GridTest::TopRowScrollsByWholeRows() {
  Grid grid(3);
  grid.resize(300, 200);
  grid.show();
  QVERIFY(QTest::qWaitForWindowExposed(&grid));
  QCOMPARE(grid.TopRow(), 1);
  for (int i = 1; i <= 50; ++i) grid.AddItem(std::to_string(i));
  grid.SetTopRow(grid.TopRow() + 1);  // right after appending, before any layout pass
  QCOMPARE(grid.TopRow(), 2);
  grid.SetTopRow(10);
  QCOMPARE(grid.TopRow(), 10);
  QCOMPARE(grid.rowAt(0), 9);  // the view shows what TopRow says
  grid.SetTopRow(1000);
  QVERIFY(grid.TopRow() < 50);  // the last page at most
  QVERIFY(grid.TopRow() > 30);
}

void GridTest::ClickReportsTheGridRow() {
  Grid grid(3);
  grid.resize(300, 200);
  grid.AddItem("1\ta\tb");
  grid.AddItem("2\tc\td");
  grid.show();
  QVERIFY(QTest::qWaitForWindowExposed(&grid));
  QSignalSpy spy(&grid, &Grid::Click);
  QRect cell = grid.visualRect(grid.model()->index(1, 2));
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
  QCOMPARE(spy.count(), 1);
  QCOMPARE(spy.at(0).at(0).toInt(), 2);
  QCOMPARE(spy.at(0).at(1).toInt(), 2);
  QCOMPARE(grid.Text(), std::string("d"));
  int x = grid.horizontalHeader()->sectionViewportPosition(1) + grid.horizontalHeader()->sectionSize(1) / 2;
  // Far enough after the first click not to count as a double click.
  QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(x, 3),
                    QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
  QCOMPARE(spy.count(), 2);
  QCOMPARE(spy.at(1).at(0).toInt(), 0);
  QCOMPARE(spy.at(1).at(1).toInt(), 1);
}

void GridTest::HundredThousandRowsAppendAndScroll() {
  Grid grid(31);
  grid.resize(500, 300);
  grid.show();
  QVERIFY(QTest::qWaitForWindowExposed(&grid));
  std::string row = "1\t2011/07/29\t13:45:07";
  for (int q = 0; q < 28; ++q) row += "\t230.5";
  for (int i = 0; i < 100000; ++i) grid.AddItem(row);
  QCOMPARE(grid.Rows(), 100001);
  grid.SetTopRow(99990);
  QVERIFY(grid.TopRow() > 99900);
  grid.verticalScrollBar()->setValue(50000);
  QCOMPARE(grid.TopRow(), 50001);
  QCOMPARE(grid.TextMatrix(100000, 30), std::string("230.5"));
}

void GridTest::CtrlCCopiesTheSelectedRangeWithTheTitles() {
  Grid grid(3);
  grid.resize(300, 200);
  grid.SetTextMatrix(0, 0, "No.");
  grid.SetTextMatrix(0, 1, "V1");
  grid.SetTextMatrix(0, 2, "I1");
  for (const char* row : {"1\t230.1\t1.5", "2\t230.2\t1.6", "3\t230.3\t1.7", "4\t230.4\t1.8"}) grid.AddItem(row);
  grid.show();
  QVERIFY(QTest::qWaitForWindowExposed(&grid));
  // Click the first cell, Shift+click the last: a range of three rows.
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(1, 1)).center());
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    grid.visualRect(grid.model()->index(3, 2)).center());
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QString("V1\tI1\n230.2\t1.6\n230.3\t1.7\n230.4\t1.8\n"));
}

QTEST_MAIN(GridTest)
#include "GridTest.moc"
