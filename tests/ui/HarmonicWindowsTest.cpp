// The harmonic windows against the simulated instrument on the virtual
// clock: "OK" and its windows, closing mid-acquisition, the waveform view on
// its own, files through the window, and the prints and their restoring.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FakePanel.hpp"
#include "PdfText.hpp"
#include "SimLine.hpp"
#include "ToolbarKeys.hpp"
#include "WindowSystemInput.hpp"
#include "app/Attach.hpp"
#include "harmonic/HarmonicWindow.hpp"
#include "harmonic/PreHarmonicWindow.hpp"
#include "harmonic/SignalWindow.hpp"
#include "link/Link.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/BarChart.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/WaitInput.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {

using test::FakePanel;

InstrumentSettings Sixty() {
  InstrumentSettings s;
  s.Load.Hz = 60;
  return s;
}

struct Rig : test::SimLine {
  Rig() : SimLine(Sixty()) {
    pre = std::make_unique<PreHarmonicWindow>(session, link, panel, dialogs);
    pre->Load();
    pre->show();
  }
  ~Rig() {
    pre.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  FakePanel panel;
  std::unique_ptr<PreHarmonicWindow> pre;
};

}  // namespace

class HarmonicWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void okFillsTheListsAndOpensBothWindowsInPlace() {
    Rig rig;
    PreHarmonicWindow& pre = *rig.pre;
    QCOMPARE(pre.windowTitle(), QString("Loading Data"));
    QCOMPARE(pre.CmdPhase().currentText(), QString("A Phase Voltage"));
    QCOMPARE(pre.CmdPhase().count(), 6);
    QCOMPARE(pre.CmdHz().currentText(), QString("60Hz"));
    QCOMPARE(pre.GridList().TextMatrix(0, 0), std::string("No.s"));
    // As high as designed, as wide as the list's columns; taller on demand.
    QCOMPARE(pre.height(), 199);
    QVERIFY(pre.width() >= 168);
    QVERIFY(pre.GridList().viewport()->width() >= pre.GridList().ColWidth(0) + pre.GridList().ColWidth(1));
    QVERIFY(pre.GridList().geometry().right() < pre.width());
    pre.resize(pre.width(), 500);
    QCOMPARE(pre.height(), 500);
    QVERIFY(pre.GridList().geometry().bottom() > 400);
    pre.resize(pre.width(), 199);
    // The extra controls lie outside the client area.
    QVERIFY(pre.CmdOpen().x() >= pre.width());
    QVERIFY(pre.Grid54List().x() >= pre.width());
    QVERIFY(pre.CmdOK().x() < pre.width());

    pre.CmdOK().click();
    QCOMPARE(pre.GridList().Rows(), 65);
    QCOMPARE(pre.Grid54List().Rows(), 55);
    QCOMPARE(pre.GridList().TextMatrix(64, 0), std::string("64"));
    QVERIFY(rig.panel.active);  // the poll runs on
    QVERIFY(!rig.session.Guard.Busy());
    QVERIFY(pre.CmdOpen().isEnabled());

    SignalWindow* signal = pre.Signal();
    HarmonicWindow* harmonic = pre.Harmonic();
    QVERIFY(signal && harmonic);
    QCOMPARE(signal->windowTitle(), QString("Signal"));
    QCOMPARE(signal->pos(), QPoint(pre.frameGeometry().right() + 1, 0));
    QCOMPARE(harmonic->pos(), QPoint(pre.frameGeometry().left(), pre.frameGeometry().bottom() + 1));
    QVERIFY(signal->Layouts() > 0);
    QCOMPARE(signal->Drawing().PointX.size(), std::size_t(64));

    QCOMPARE(harmonic->windowTitle(), QString("Harmonic"));
    QCOMPARE(harmonic->CmdH().currentText(), QString("31"));
    QCOMPARE(harmonic->CmdK().currentText(), QString("1"));
    QCOMPARE(harmonic->Chart().Count(), 31);
    QCOMPARE(harmonic->Chart().Label(31), QString("K31"));
    QCOMPARE(harmonic->Chart().Value(1), 100.0);
    QCOMPARE(harmonic->LblORD().text(), QString("100.00"));
    QCOMPARE(harmonic->TableLabel(4, 1).text(), QString("100"));
    QCOMPARE(harmonic->TableLabel(2, 1).text(), QString("0"));
    QCOMPARE(harmonic->TableLabel(4, 0).text(), QString("ORD%"));
    QCOMPARE(harmonic->TableLabel(0, 7).text(), QString("7"));
    QCOMPARE(harmonic->LblTHD().text(), QString::fromStdString(harmonic->Figures().ThdFText[31]));
    // The simulated signal carries a 3rd harmonic of a few percent.
    const double third = harmonic->TableLabel(4, 3).text().toDouble();
    QVERIFY2(third > 0.5 && third < 20, qPrintable(harmonic->TableLabel(4, 3).text()));

    harmonic->CmdH().setCurrentIndex(0);
    emit harmonic->CmdH().activated(0);
    QCOMPARE(harmonic->Chart().Count(), 1);
    QCOMPARE(harmonic->LblTHD().text(), QString("0"));
    QCOMPARE(harmonic->LblTHDR().text(), QString("0.00"));
    QCOMPARE(harmonic->TableLabel(2, 31).text(), QString::fromStdString(harmonic->Figures().ThdFText[31]));
    emit harmonic->CmdK().activated(2);
    QCOMPARE(harmonic->LblORD().text(), harmonic->TableLabel(4, 3).text());

    // The next "OK" replaces both windows.
    QPointer<SignalWindow> oldSignal(signal);
    QPointer<HarmonicWindow> oldHarmonic(harmonic);
    pre.CmdPhase().setCurrentIndex(3);
    pre.CmdOK().click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!oldSignal && !oldHarmonic);
    QVERIFY(pre.Signal() && pre.Harmonic());
    QCOMPARE(rig.session.Harmonic.LastLetter, 'd');
  }

  void figuresReadableAndTheFrequencyChecked() {
    Rig rig;
    PreHarmonicWindow& pre = *rig.pre;
    // The instrument's last reading says 50 Hz: the window offers 50Hz.
    rig.session.Meter.ReadingSerial = 1;
    rig.session.Live.Hz = "050.0";
    pre.hide();
    pre.Load();
    pre.show();
    QCOMPARE(pre.CmdHz().currentText(), QString("50Hz"));
    QCOMPARE(pre.CmdHz().itemText(0), QString("60Hz"));
    // Analysed at 60 Hz all the same: the result says the two disagree.
    pre.CmdHz().setCurrentIndex(0);
    pre.CmdOK().click();
    HarmonicWindow* harmonic = pre.Harmonic();
    QVERIFY(harmonic);
    QVERIFY2(harmonic->FrequencyNote().contains("50.0 Hz"), qPrintable(harmonic->FrequencyNote()));
    QVERIFY(harmonic->PrintHeading().find("A Phase Voltage   60Hz   ") == 0);
    QCOMPARE(pre.Signal()->PrintHeading(), harmonic->PrintHeading());

    // Every cell holds its text whole; the row scrolls sideways.
    for (int row = 0; row < 5; ++row)
      for (int h = 1; h <= 31; ++h) {
        const QLabel& cell = harmonic->TableLabel(row, h);
        QVERIFY2(cell.fontMetrics().horizontalAdvance(cell.text()) < cell.width(), qPrintable(cell.text()));
      }
    QVERIFY(harmonic->TableArea().widget()->width() > harmonic->TableArea().width());
    QVERIFY(harmonic->TableArea().geometry().bottom() < harmonic->height());

    // Without the fundamental: orders 2..N, on their own scale.
    QVERIFY(!harmonic->WithoutFundamental().isChecked());
    harmonic->WithoutFundamental().setChecked(true);
    QCOMPARE(harmonic->Chart().Count(), 30);
    QCOMPARE(harmonic->Chart().Label(1), QString("K2"));
    QCOMPARE(harmonic->Chart().Value(2), static_cast<double>(harmonic->Figures().R[3]));
    harmonic->CmdH().setCurrentIndex(4);
    emit harmonic->CmdH().activated(4);
    QCOMPARE(harmonic->Chart().Count(), 4);
    harmonic->WithoutFundamental().setChecked(false);
    QCOMPARE(harmonic->Chart().Count(), 5);
    QCOMPARE(harmonic->Chart().Label(1), QString("K1"));

    // At the instrument's own frequency nothing is said.
    pre.CmdHz().setCurrentIndex(1);
    pre.CmdOK().click();
    QVERIFY(pre.Harmonic()->FrequencyNote().isEmpty());
  }

  void theMainWindowsKeyOpensItAndThePollRunsOn() {
    test::SimLine line(Sixty());
    auto panel = std::make_unique<PanelWindow>(line.session, line.link, line.dialogs);
    AttachHarmonic(*panel, line.session, line.link, line.dialogs);
    panel->Load();
    panel->show();
    QVERIFY(panel->Timer1Active());
    test::Press(panel->Toolbar1(), "Harmonic");
    auto* pre = panel->findChild<PreHarmonicWindow*>();
    if (!pre)
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<PreHarmonicWindow*>(w)) pre = p;
    QVERIFY(pre && pre->isVisible());
    // At the top left corner, unless that covers the main window and there is
    // room beside it.
    QCOMPARE(pre->pos(), QPoint(panel->frameGeometry().right() + 1, panel->frameGeometry().top()));
    pre->CmdOK().click();
    QCOMPARE(pre->GridList().Rows(), 65);
    QVERIFY(panel->Timer1Active());
    QVERIFY(pre->Signal() && pre->Harmonic());
    // A second click shows the same window again.
    pre->close();
    test::Press(panel->Toolbar1(), "Harmonic");
    QVERIFY(pre->isVisible());
    QCOMPARE(pre->GridList().Rows(), 65);
    QPointer<PreHarmonicWindow> guard(pre);
    panel.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!guard);
  }

  void closingMidAcquisitionEndsIt() {
    Rig rig;
    rig.host.ScheduleAt(rig.host.Monotonic() + 0.3, [&] { rig.pre->close(); });
    rig.pre->CmdOK().click();
    QCOMPARE(rig.pre->GridList().Rows(), 1);
    QVERIFY(!rig.pre->Signal());
    QVERIFY(!rig.pre->Harmonic());
    QVERIFY(rig.panel.active);
    QVERIFY(!rig.session.Guard.Busy());
    QVERIFY(!rig.session.Harmonic.Busy);
    QVERIFY(rig.dialogs.History.empty());
    // Shown again, it acquires as before.
    rig.pre->show();
    QVERIFY(rig.pre->CmdOpen().isEnabled() && rig.pre->CmdPrint().isEnabled());
    rig.pre->CmdOK().click();
    QCOMPARE(rig.pre->GridList().Rows(), 65);
  }

  void signalRedrawsOnItsOwn() {
    Rig rig;
    rig.pre->CmdOK().click();
    QPointer<SignalWindow> signal = rig.pre->Signal();
    QVERIFY(signal);
    const std::vector<double> before = signal->Drawing().PointY;
    rig.pre.reset();  // the acquisition window is gone
    QVERIFY(signal);
    QVERIFY(signal->minimumWidth() == 400 && signal->minimumHeight() == 391);
    const int layouts = signal->Layouts();
    signal->resize(800, 600);
    QCOMPARE(signal->Layouts(), layouts + 1);
    QCOMPARE(signal->windowTitle(), QString("Signal"));
    // The same points, stretched to the new height.
    const WaveGeometry& g = signal->Drawing().Geometry;
    for (std::size_t i = 0; i < 64; ++i) {
      const double share = before[i];
      QVERIFY(std::isfinite(share));
      QVERIFY(signal->Drawing().PointY[i] >= g.OriginY - g.Height - 5 && signal->Drawing().PointY[i] <= g.OriginY + 3);
    }
    QImage image(signal->size(), QImage::Format_RGB32);
    signal->render(&image);
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
      for (int x = 0; x < image.width(); x += 2) dark += qGray(image.pixel(x, y)) < 64;
    QVERIFY(dark > 200);
    delete signal.data();
  }

  void filesThroughTheWindow() {
    QTemporaryDir dir;
    Rig rig;
    rig.pre->CmdHz().setCurrentIndex(1);  // 50Hz
    rig.pre->CmdOK().click();
    QCOMPARE(rig.pre->Grid54List().Rows(), 65);
    const QString path = dir.filePath("h.txt");
    rig.dialogs.QueueFile(path.toStdString());
    rig.pre->CmdSave().click();
    QCOMPARE(rig.dialogs.History.back().File.InitialPath, std::string("A Phase Voltage 50Hz.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readLine(), QByteArray("\t\t\r\n"));
    file.close();

    // Opened at "50Hz": a 64-row file is the cycle as it stands.
    rig.dialogs.QueueFile(path.toStdString());
    rig.pre->CmdOpen().click();
    QCOMPARE(rig.pre->GridKList().Rows(), 32);
    QCOMPARE(rig.pre->Grid64List().Rows(), 65);
    QCOMPARE(rig.pre->Grid64List().TextMatrix(64, 1), rig.pre->Grid54List().TextMatrix(64, 1));
    QVERIFY(rig.pre->Harmonic());
    QVERIFY(rig.panel.active);
  }

  void printsRestoreTheWindow() {
    QTemporaryDir dir;
    Rig rig;
    rig.pre->CmdOK().click();
    HarmonicWindow* harmonic = rig.pre->Harmonic();
    QVERIFY(harmonic);
    const QColor panelBack = harmonic->Panel(3).palette().color(QPalette::Window);
    const QColor labelBack = harmonic->LblTHD().palette().color(QPalette::Window);

    PrinterChoice pdf;
    pdf.OutputFile = dir.filePath("harmonic.pdf").toStdString();
    pdf.Orientation = PageOrientation::Landscape;
    rig.dialogs.Printers.push_back(pdf);
    harmonic->PrintCommand();
    QVERIFY(QFileInfo(dir.filePath("harmonic.pdf")).size() > 1000);
    // The heading line names the analysis.
    QVERIFY(test::PdfText(dir.filePath("harmonic.pdf")).contains("A Phase Voltage"));
    QVERIFY(!harmonic->CmdPrint().isHidden());
    QCOMPARE(harmonic->Panel(3).palette().color(QPalette::Window), panelBack);
    QCOMPARE(harmonic->LblTHD().palette().color(QPalette::Window), labelBack);
    QVERIFY(!QApplication::overrideCursor());

    PrinterChoice broken;
    broken.OutputFile = dir.filePath("missing/folder/harmonic.pdf").toStdString();
    rig.dialogs.Printers.push_back(broken);
    harmonic->PrintCommand();
    QCOMPARE(rig.dialogs.MessageTexts().size(), std::size_t(1));
    QVERIFY(!harmonic->CmdPrint().isHidden());
    QCOMPARE(harmonic->Panel(1).palette().color(QPalette::Window), panelBack);
    QCOMPARE(harmonic->LblORD().palette().color(QPalette::Window), labelBack);
    QVERIFY(!QApplication::overrideCursor());

    // A cancelled dialog changes nothing.
    harmonic->PrintCommand();
    QVERIFY(!harmonic->CmdPrint().isHidden());

    // The acquisition window's list print: heading and 64 lines; the poll
    // starts again even though it was running.
    PrinterChoice list;
    list.OutputFile = dir.filePath("grid.pdf").toStdString();
    rig.dialogs.Printers.push_back(list);
    rig.panel.active = false;
    rig.pre->CmdPrint().click();
    QVERIFY(rig.panel.active);
    QVERIFY(!QApplication::overrideCursor());
    if (QFileInfo(QELT_PDFTOTEXT).isExecutable()) {
      const QString text = test::PdfText(dir.filePath("grid.pdf"));
      QVERIFY2(text.contains("No.s") && text.contains("---------------"), qPrintable(text.left(200)));
      QCOMPARE(text.count(QRegularExpression("^\\s*\\d+\\s+-?\\d\\.\\d{4}\\s*$", QRegularExpression::MultilineOption)),
               64);
      QVERIFY(text.contains(QString::fromStdString(rig.pre->GridList().TextMatrix(64, 1))));
    }
    // The waveform view's print shows its toolbar again.
    rig.dialogs.Printers.push_back(broken);
    rig.pre->Signal()->PrintCommand();
    QVERIFY(!rig.pre->Signal()->Toolbar1().isHidden());
  }

  // Escape and the frame's close reach the window through the acquisition's
  // wait: Escape ends it and the window stays, the close ends it with the window.
  void escapeOrTheFramesCloseStopAnAcquisition() {
    for (const bool escape : {true, false}) {
      WaitInput input;
      Rig rig;
      rig.pre->SetWaitInput(&input);
      rig.host.OnEvents = [&] { input.Wait(0); };
      double stoppedAt = -1;
      rig.host.ScheduleAt(rig.host.Monotonic() + 0.3, [&] {
        QMetaObject::invokeMethod(
            rig.pre.get(),
            [&] {
              stoppedAt = rig.host.Monotonic();
              if (escape)
                test::PressEscape(*rig.pre);
              else
                test::CloseByFrame(*rig.pre);
            },
            Qt::QueuedConnection);
      });
      rig.pre->CmdOK().click();
      rig.host.OnEvents = nullptr;
      QVERIFY(stoppedAt > 0);
      QVERIFY(rig.host.Monotonic() - stoppedAt <= 0.5);
      QCOMPARE(rig.pre->GridList().Rows(), 1);
      QVERIFY(!rig.pre->Harmonic());
      QCOMPARE(rig.pre->isVisible(), escape);
      QVERIFY(rig.panel.active);
      QVERIFY(!rig.session.Guard.Busy() && !rig.session.Harmonic.Busy);
      QVERIFY(rig.dialogs.History.empty());
    }
  }
};

QTEST_MAIN(HarmonicWindowsTest)
#include "HarmonicWindowsTest.moc"
