// The analysis view against the limits of a standard: the marks and warning
// bars of the chart, the two rows under the table, the verdict, the choice
// kept in the settings, and the print.
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "FakePanel.hpp"
#include "SimLine.hpp"
#include "harmonic/Analysis.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicWindow.hpp"
#include "harmonic/PreHarmonicWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/BarChart.hpp"
#include "platform/qt/StoredSettings.hpp"
#include "text/NumberText.hpp"

using namespace qelt;

namespace {

// One 50 Hz cycle: 3rd 3 %, 5th 7 % (over the EN 50160 6 %), 7th 2 %.
HarmonicState FifthOverItsLimit() {
  std::vector<std::string> rows;
  for (int i = 0; i < CyclePoints; ++i) {
    const double x = 2 * M_PI * i / CyclePoints;
    const double v = 1000 * std::sin(x) + 30 * std::sin(3 * x) + 70 * std::sin(5 * x + 0.4) + 20 * std::sin(7 * x);
    rows.push_back(std::to_string(i + 1) + "\t" + FormatPattern(v, "0.000"));
  }
  HarmonicState state;
  StartHarmonicLists(state);
  TakeFileRows(state, rows, FileCycle::Whole64);
  AnalyseCycle(state, true);
  return state;
}

}  // namespace

class HarmonicLimitsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void en50160MarksTheFifth() {
    const HarmonicState state = FifthOverItsLimit();
    HarmonicLimitSetting limits{1, 20};
    ScriptedDialogs dialogs;
    HarmonicWindow w(state, limits, dialogs);
    w.Load(QRect());
    QCOMPARE(w.CmdLimits().currentText(), QString("EN 50160"));
    QVERIFY(!w.IscIl().isEnabled());
    QCOMPARE(w.TableLabel(5, 0).text(), QString("Limit%"));
    QCOMPARE(w.TableLabel(6, 0).text(), QString("Result"));
    QCOMPARE(w.TableLabel(4, 5).text(), QString("7.00"));
    QCOMPARE(w.TableLabel(5, 5).text(), QString("6.0"));
    QCOMPARE(w.TableLabel(6, 5).text(), QString("fail"));
    QCOMPARE(w.TableLabel(6, 3).text(), QString("pass"));
    QCOMPARE(w.TableLabel(5, 27).text(), QString("-"));  // no limit above the 25th
    QCOMPARE(w.TableLabel(6, 27).text(), QString("-"));
    QVERIFY(w.TableLabel(6, 5).palette().color(QPalette::Window) !=
            w.TableLabel(6, 3).palette().color(QPalette::Window));

    // Chart categories are orders 1..31: the 5th warned with its limit marked.
    QCOMPARE(w.Chart().Limit(5), std::optional<double>(6.0));
    QVERIFY(w.Chart().Over(5));
    QVERIFY(!w.Chart().Over(3));
    QVERIFY(!w.Chart().Limit(1));
    QVERIFY(w.LblVerdict().isVisibleTo(&w));
    QVERIFY2(w.LblVerdict().text().startsWith("EN 50160: FAIL"), qPrintable(w.LblVerdict().text()));
    QVERIFY(w.LblVerdict().text().contains("K5"));
    QVERIFY(w.LblVerdict().text().contains("(limit 8.0 %): pass"));
    QVERIFY(!w.Verdict().Pass);

    // Without the fundamental the categories shift; the marks follow the orders.
    w.WithoutFundamental().setChecked(true);
    QCOMPARE(w.Chart().Label(4), QString("K5"));
    QVERIFY(w.Chart().Over(4));
    QCOMPARE(w.Chart().Limit(4), std::optional<double>(6.0));
    // Fewer orders: still the limits of the orders shown.
    w.ChooseOrders(4);
    QCOMPARE(w.Chart().Count(), 3);
    QCOMPARE(w.Chart().Limit(3), std::optional<double>(1.0));  // K4
  }

  void theChoiceIsWrittenBackAndTakenByTheNextWindow() {
    const HarmonicState state = FifthOverItsLimit();
    HarmonicLimitSetting limits{1, 20};
    ScriptedDialogs dialogs;
    {
      HarmonicWindow w(state, limits, dialogs);
      w.Load(QRect());
      QSignalSpy changed(&w, &HarmonicWindow::LimitsChanged);
      // IEEE 519 voltage: 5 % for every order, the 5th over it too.
      w.CmdLimits().activated(2);
      QCOMPARE(changed.count(), 1);
      QCOMPARE(limits.Item, 2);
      QCOMPARE(w.TableLabel(5, 2).text(), QString("5.0"));
      QCOMPARE(w.TableLabel(6, 5).text(), QString("fail"));
      // The current table by its ratio: below 20 the 5th's limit is 4 %; 20 and up 7 %.
      w.ChooseLimits(3, 19.9);
      QVERIFY(w.IscIl().isEnabled());
      QCOMPARE(w.TableLabel(5, 5).text(), QString("4.0"));
      QCOMPARE(w.TableLabel(6, 5).text(), QString("fail"));
      QVERIFY(w.LblVerdict().text().startsWith("IEEE 519 current (ISC/IL 19.9): FAIL"));
      QVERIFY(w.LblVerdict().text().contains("TDD"));
      w.ChooseLimits(3, 20);
      QCOMPARE(w.TableLabel(5, 5).text(), QString("7.0"));
      QCOMPARE(w.TableLabel(6, 5).text(), QString("pass"));
      QCOMPARE(w.TableLabel(5, 6).text(), QString("3.5"));  // an even order at half its band
      QVERIFY(w.Verdict().Pass);
      QVERIFY(w.LblVerdict().text().startsWith("IEEE 519 current (ISC/IL 20): PASS"));
      QCOMPARE(changed.count(), 3);
    }
    QCOMPARE(limits.Item, 3);
    QCOMPARE(limits.IscIl, 20.0);
    {
      HarmonicWindow w(state, limits, dialogs);
      w.Load(QRect());
      QCOMPARE(w.CmdLimits().currentText(), QString("IEEE 519 current"));
      QCOMPARE(w.IscIl().value(), 20.0);
      // None: nothing judged, nothing marked.
      w.CmdLimits().activated(0);
      QVERIFY(!w.LblVerdict().isVisibleTo(&w));
      QCOMPARE(w.TableLabel(5, 5).text(), QString(""));
      QCOMPARE(w.TableLabel(6, 5).text(), QString(""));
      QVERIFY(!w.Chart().Limit(5));
      QVERIFY(!w.Chart().Over(5));
    }
  }

  void theSettingsKeepTheChoice() {
    QTemporaryDir dir;
    const QString path = dir.filePath("qelt.ini");
    test::SimLine line;
    test::FakePanel panel;
    {
      StoredSettings settings(path);
      settings.SetHarmonicLimits(1, 50);
      PreHarmonicWindow pre(line.session, line.link, panel, line.dialogs);
      pre.UseSettings(&settings);
      QCOMPARE(pre.Limits().Item, 1);
      QCOMPARE(pre.Limits().IscIl, 50.0);
      line.session.Harmonic = FifthOverItsLimit();
      pre.ReopenHarmonic();
      QCOMPARE(pre.Harmonic()->CmdLimits().currentText(), QString("EN 50160"));
      pre.Harmonic()->ChooseLimits(3, 120);
      settings.Flush();
      pre.Harmonic()->close();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    StoredSettings again(path);
    QCOMPARE(again.HarmonicLimitsItem(), std::optional<int>(3));
    QCOMPARE(again.HarmonicIscIl(), std::optional<double>(120));
    // Values that make no sense are not taken.
    again.SetHarmonicLimits(7, -1);
    QVERIFY(!again.HarmonicLimitsItem());
    QVERIFY(!again.HarmonicIscIl());
  }

  void thePrintShowsTheLimits() {
    QTemporaryDir dir;
    const HarmonicState state = FifthOverItsLimit();
    HarmonicLimitSetting limits{1, 20};
    ScriptedDialogs dialogs;
    HarmonicWindow w(state, limits, dialogs);
    w.Load(QRect());
    PrinterChoice pdf;
    pdf.OutputFile = dir.filePath("limits.pdf").toStdString();
    pdf.Orientation = PageOrientation::Landscape;
    dialogs.Printers.push_back(pdf);
    w.PrintCommand();
    QVERIFY(QFileInfo(dir.filePath("limits.pdf")).size() > 1000);
    // An image print: the 5th's bar in the warning colour is on the page.
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) QSKIP("no pdftoppm to look at the page");
    QCOMPARE(QProcess::execute(pdftoppm, {"-png", "-r", "60", "-f", "1", "-l", "1", dir.filePath("limits.pdf"),
                                          dir.filePath("page")}),
             0);
    const QImage page(dir.filePath("page-1.png"));
    QVERIFY(!page.isNull());
    auto warned = [&page] {
      int n = 0;
      const QColor warning = BarChart::WarningColour();
      for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
          const QColor c = page.pixelColor(x, y);
          n += std::abs(c.red() - warning.red()) + std::abs(c.green() - warning.green()) +
                           std::abs(c.blue() - warning.blue()) <
                       40
                   ? 1
                   : 0;
        }
      return n;
    };
    QVERIFY(warned() > 0);
  }
};

QTEST_MAIN(HarmonicLimitsWindowTest)
#include "HarmonicLimitsWindowTest.moc"
