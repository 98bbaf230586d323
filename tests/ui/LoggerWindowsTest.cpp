// "Data Logger", "Data List" and "Data List (Continued)" against the
// simulated instrument on the virtual clock, Qt events run from its waits.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "SimLine.hpp"
#include "WindowSystemInput.hpp"
#include "app/Attach.hpp"
#include "logger/DataListWindow.hpp"
#include "logger/LoggerWindows.hpp"
#include "logger/MemoryWindow.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/WaitInput.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {

InstrumentSettings WithLogger(const char* logger, bool paced = true) {
  InstrumentSettings s;
  s.Logger = logger;
  s.Paced = paced;
  return s;
}

struct Rig : test::SimLine, WorkbookOpener {
  explicit Rig(InstrumentSettings settings) : SimLine(std::move(settings)) {
    panel = std::make_unique<PanelWindow>(session, link, dialogs);
    logger = AttachLogger(*panel, session, link, dialogs, exports.path().toStdString());
    logger->SetWorkbookOpener(this);
    // The virtual clock's waits run the Qt events too, as QtHost's do.
    host.OnEvents = [] { QCoreApplication::processEvents(); };
    panel->Load();
  }
  ~Rig() override { host.OnEvents = nullptr; }
  bool OpenWorkbook(const std::string& path) override {
    workbooks.push_back(path);
    return true;
  }
  MemoryWindow* Memory() const { return logger->Memory(); }
  DataListWindow* List(int n) const { return logger->DataList(n); }
  long Count(char c) const { return static_cast<long>(std::count(port.Written().begin(), port.Written().end(), c)); }

  QTemporaryDir exports;
  std::unique_ptr<PanelWindow> panel;
  LoggerWindows* logger = nullptr;
  std::vector<std::string> workbooks;
};

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

}  // namespace

class LoggerWindowsTest : public QObject {
  Q_OBJECT
 private slots:
  void memoryListsTheSetsAndReadOpensTheDataList() {
    Rig rig(WithLogger("small"));
    rig.panel->RunKey(PanelKey::Memory);
    MemoryWindow* m = rig.Memory();
    QVERIFY(m && m->isVisible());
    QCOMPARE(m->windowTitle(), QString("Data Logger"));
    QCOMPARE(m->findChild<QLabel*>("LblSize")->text(), QString("512 K"));
    QCOMPARE(m->LblRemain().text(), QString("510.1 K"));
    QCOMPARE(m->G1().Caption(), QString("Recorded Set in Memory"));
    QCOMPARE(m->CmdRead().text(), QString("Read"));
    QCOMPARE(m->CmdErase().text(), QString("Erase"));
    Grid& g = m->SetGrid();
    QAbstractItemModelTester tester(&g.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(g.Rows(), 4);
    const char* titles[] = {"Set", " Date", " Time", " Mode", "Rec.s", "Intv."};
    for (int c = 0; c < 6; ++c) QCOMPARE(g.TextMatrix(0, c), std::string(titles[c]));
    QCOMPARE(g.TextMatrix(2, 1), std::string("11/07/29"));
    QCOMPARE(g.TextMatrix(2, 2), std::string("23:59:30"));
    QCOMPARE(g.TextMatrix(3, 3), std::string("3P3W2M"));
    QCOMPARE(g.TextMatrix(3, 4), std::string("32"));
    QCOMPARE(m->ComboSet().count(), 3);
    QCOMPARE(m->ComboSet().currentText(), QString("1"));
    QVERIFY(rig.panel->Timer1Active());
    QVERIFY(g.ColWidth(1) > g.ColWidth(0));

    // "Read" of set 2: 11 records, across midnight.
    m->ComboSet().setCurrentIndex(1);
    rig.port.ClearWritten();
    QTest::mouseClick(&m->CmdRead(), Qt::LeftButton);
    QCOMPARE(rig.Count('k'), 2L);
    DataListWindow* list = rig.List(0);
    QVERIFY(list && list->isVisible());
    QCOMPARE(list->windowTitle(), QString("Data List"));
    QCOMPARE(list->frameGeometry().topLeft(), QPoint(0, 0));
    Grid& rows = list->RecordGrid();
    QCOMPARE(rows.Rows(), 12);
    QCOMPARE(rows.TextMatrix(0, 1), std::string("      Date"));
    QCOMPARE(rows.TextMatrix(0, 2), std::string("    Time"));
    QCOMPARE(rows.TextMatrix(0, 30), std::string("TTheta"));
    QCOMPARE(rows.TextMatrix(2, 0), std::string("2"));
    QCOMPARE(rows.TextMatrix(2, 1), std::string("2011/07/30"));
    QCOMPARE(rows.TextMatrix(2, 2), std::string("00:00:30"));
    QCOMPARE(list->G2().Caption(), QString("Details"));
    QVERIFY(!list->G2().Flooding());
    QVERIFY(!m->G1().Flooding());
    QCOMPARE(list->Toolbar1().Key(1), QString("Save"));
    QCOMPARE(list->Toolbar1().ToolTip(1), QString("Save As"));
    QCOMPARE(list->Toolbar1().Key(2), QString("Print"));
    QVERIFY(rig.panel->Timer1Active());
    QVERIFY(rig.Memory()->CmdRead().isEnabled());

    // "Save" writes the rows; refused while recording.
    const QString file = rig.exports.filePath("set2.txt");
    rig.dialogs.QueueFile(file.toStdString());
    list->Toolbar1().Click(1);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 13);
    QVERIFY(lines[2].startsWith("2\t2011/07/30\t00:00:30\t"));
    QVERIFY(lines[2].endsWith("\t\r"));
    rig.session.Recorder.Recording = true;
    list->Toolbar1().Click(1);
    QCOMPARE(rig.dialogs.MessageTexts().back(), std::string("Aready in recording mode, close it and try again !"));
    QCOMPARE(rig.dialogs.History.back().Icon, MessageIcon::Stop);
    rig.session.Recorder.Recording = false;

    // A click on the row of set 3 replaces the list; set 2 again comes from the cache.
    QPointer<DataListWindow> old(list);
    emit g.Click(3, 4);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!old);
    QCOMPARE(rig.List(0)->RecordGrid().Rows(), 33);
    rig.port.ClearWritten();
    emit g.Click(2, 2);
    QVERIFY(rig.port.Written().empty());
    QCOMPARE(rig.List(0)->RecordGrid().Rows(), 12);
    // The header row is no set.
    emit g.Click(0, 0);
    QVERIFY(rig.port.Written().empty());

    // "Memory" again brings the same window forward and the poll runs.
    rig.panel->RunKey(PanelKey::Memory);
    QCOMPARE(rig.Memory(), m);
    QCOMPARE(m->SetGrid().Rows(), 4);
    QVERIFY(rig.panel->Timer1Active());
  }

  void windowRepaintsDuringAPacedDownloadAndClosingCancelsIt() {
    Rig rig(WithLogger("large"));
    rig.panel->RunKey(PanelKey::Memory);
    MemoryWindow* m = rig.Memory();
    PaintCounter counter;
    m->G1().installEventFilter(&counter);
    int fillSeen = 0;
    bool readEnabledMeanwhile = false;
    const double start = rig.host.Monotonic();
    rig.host.OnEvents = [&] {
      QCoreApplication::processEvents();
      if (!rig.Memory()) return;
      fillSeen = std::max(fillSeen, rig.Memory()->G1().FloodPercent());
      readEnabledMeanwhile = readEnabledMeanwhile || rig.Memory()->CmdRead().isEnabled();
      if (rig.host.Monotonic() - start > 5.0) rig.Memory()->close();
    };
    QTest::mouseClick(&m->CmdRead(), Qt::LeftButton);
    QVERIFY(!rig.Memory() || !rig.Memory()->isVisible());
    QVERIFY2(counter.paints > 3, qPrintable(QString::number(counter.paints)));
    QVERIFY(fillSeen > 0 && fillSeen < 100);
    QVERIFY(!readEnabledMeanwhile);
    QVERIFY(!rig.List(0));
    QVERIFY(rig.session.Logger.SetHeaderCache[1].empty());
    QVERIFY(rig.panel->Timer1Active());
    QVERIFY(rig.dialogs.History.empty());
    QVERIFY(!rig.session.Guard.Busy());
  }

  void overTenThousandRecordsOpenTheContinuedListBesideTheFirst() {
    Rig rig(WithLogger("large", false));
    rig.panel->RunKey(PanelKey::Memory);
    const std::string kept = rig.exports.filePath("kept.xlsx").toStdString();
    rig.dialogs.QueueFile(kept);
    QTest::mouseClick(&rig.Memory()->CmdRead(), Qt::LeftButton);
    QCOMPARE(rig.dialogs.MessageTexts(), (std::vector<std::string>{"Over 10000 records, two files will be generated.",
                                                                   "The workbook was written to:\r\n" + kept}));
    QCOMPARE(rig.dialogs.History[1].Title, std::string("Save Workbook"));
    DataListWindow* first = rig.List(0);
    DataListWindow* second = rig.List(1);
    QVERIFY(first && second);
    QCOMPARE(second->windowTitle(), QString("Data List (Continued)"));
    QCOMPARE(first->RecordGrid().Rows(), 10001);
    QCOMPARE(second->RecordGrid().Rows(), 2001);
    QCOMPARE(second->RecordGrid().TextMatrix(1, 0), std::string("10001"));
    QCOMPARE(second->frameGeometry().left(), first->frameGeometry().right() + 1);
    QCOMPARE(second->frameGeometry().top(), first->frameGeometry().top());
    QVERIFY(!second->G2().Flooding());
    QCOMPARE(rig.workbooks, std::vector<std::string>{kept});
    QVERIFY(QFile::exists(QString::fromStdString(kept)));
    QVERIFY(rig.panel->Timer1Active());

    // The continued list refuses "Save" while recording as the first does, and prints.
    rig.session.Recorder.Recording = true;
    second->Toolbar1().Click(1);
    QCOMPARE(rig.dialogs.MessageTexts().back(), std::string("Aready in recording mode, close it and try again !"));
    rig.session.Recorder.Recording = false;
    PrinterChoice pdf;
    pdf.OutputFile = rig.exports.filePath("continued.pdf").toStdString();
    rig.dialogs.Printers.push_back(pdf);
    second->Toolbar1().Click(2);
    QVERIFY(QFileInfo(QString::fromStdString(pdf.OutputFile)).size() > 0);
    QVERIFY(rig.panel->Timer1Active());
    QCOMPARE(second->windowTitle(), QString("Data List (Continued)"));

    // Closing the first list while a new decoding runs ends it cleanly.
    rig.session.Logger.ClearCaches();
    rig.host.OnEvents = [&] {
      QCoreApplication::processEvents();
      if (rig.List(0) && rig.List(0)->RecordGrid().Rows() > 500) rig.List(0)->close();
    };
    QTest::mouseClick(&rig.Memory()->CmdRead(), Qt::LeftButton);
    QVERIFY(!rig.logger->Controller().Decoding());
    QVERIFY(rig.panel->Timer1Active());
    QCOMPARE(rig.workbooks.size(), std::size_t{1});
  }

  void cancelShowsTheTimeLeftAndEndsTheDownload() {
    Rig rig(WithLogger("large"));
    rig.panel->RunKey(PanelKey::Memory);
    MemoryWindow* m = rig.Memory();
    // Wide enough for the grid's columns and the scroll bar.
    int columns = 0;
    for (int c = 0; c < 6; ++c) columns += m->SetGrid().ColWidth(c);
    QVERIFY(m->SetGrid().viewport()->width() >= columns);
    QVERIFY(m->SetGrid().geometry().right() < m->width());
    QVERIFY(!m->CmdCancel().isVisible());
    QString shown, valueTip;
    bool cancelSeen = false;
    const double start = rig.host.Monotonic();
    rig.host.OnEvents = [&] {
      QCoreApplication::processEvents();
      if (rig.host.Monotonic() - start < 3.0 || !m->CmdCancel().isVisible()) return;
      cancelSeen = m->CmdCancel().isEnabled() && !m->CmdErase().isVisible();
      shown = m->G1().ShownText();
      valueTip = rig.panel->ValueLabel(QuantityIndexOf("KW1"))->toolTip();
      m->CmdCancel().click();
    };
    QTest::mouseClick(&m->CmdRead(), Qt::LeftButton);
    QVERIFY(cancelSeen);
    QVERIFY2(shown.contains(QRegularExpression("^\\d+%   \\d+ min( \\d+ s)? left$")), qPrintable(shown));
    QVERIFY(valueTip.contains(PollPausedTip));
    QVERIFY(rig.Memory() == m && m->isVisible());
    QVERIFY(!m->CmdCancel().isVisible() && m->CmdErase().isVisible() && m->CmdRead().isEnabled());
    QVERIFY(!m->G1().Flooding());
    QVERIFY(!rig.List(0));
    QVERIFY(rig.panel->Timer1Active());
    QVERIFY(rig.panel->PollPausedReason().empty());
    QVERIFY(!rig.panel->ValueLabel(QuantityIndexOf("KW1"))->toolTip().contains(PollPausedTip));
    QVERIFY(rig.dialogs.History.empty());
  }

  // The user stops a download of the large set five seconds in: a click on
  // Cancel, Escape or the window's close reach the window through the wait's
  // hold, while a click on another window waits for the download's end.
  void cancelEscapeAndCloseStopADownloadAndNothingElseRunsMeanwhile() {
    enum class Way { Cancel, Escape, Close };
    for (const Way way : {Way::Cancel, Way::Escape, Way::Close}) {
      WaitInput input;  // outlives the windows that use it
      Rig rig(WithLogger("large"));
      rig.logger->SetWaitInput(&input);
      rig.panel->RunKey(PanelKey::Memory);
      MemoryWindow* m = rig.Memory();
      QPushButton other("Other");
      other.show();
      int otherClicks = 0;
      connect(&other, &QPushButton::clicked, [&] { ++otherClicks; });
      bool otherRanMeanwhile = false;
      bool dialogAboveAWait = false;
      rig.dialogs.OnShown = [&](const ScriptedDialogs::Shown&) { dialogAboveAWait |= input.InsideWait(); };
      double stoppedAt = -1;
      long blocksAtStop = 0;
      bool asked = false;
      const double start = rig.host.Monotonic();
      rig.host.OnEvents = [&] {
        input.Wait(0);
        otherRanMeanwhile |= otherClicks > 0;
        if (asked || rig.host.Monotonic() - start < 5.0) return;
        asked = true;
        // Run from within the next wait, as the window system's events are.
        QMetaObject::invokeMethod(
            &other,
            [&] {
              test::ClickAt(other, other);
              stoppedAt = rig.host.Monotonic();
              blocksAtStop = rig.Count('k');
              if (way == Way::Cancel) test::ClickAt(*m, m->CmdCancel());
              if (way == Way::Escape) test::PressEscape(*m);
              if (way == Way::Close) test::CloseByFrame(*m);
            },
            Qt::QueuedConnection);
      };
      QTest::mouseClick(&m->CmdRead(), Qt::LeftButton);
      rig.host.OnEvents = nullptr;
      const auto wayName = std::to_string(static_cast<int>(way));
      QVERIFY2(stoppedAt > 0, wayName.c_str());
      QVERIFY2(rig.host.Monotonic() - stoppedAt <= 0.5, wayName.c_str());
      QVERIFY(!rig.logger->Controller().Downloading());
      QCOMPARE(rig.Count('k'), blocksAtStop);  // no block asked for after the stop
      QVERIFY(rig.session.Logger.SetHeaderCache[1].empty() && rig.session.Logger.SetDataCache[1].empty());
      QVERIFY(!rig.List(0));
      QVERIFY(rig.panel->Timer1Active());
      QVERIFY(rig.panel->PollPausedReason().empty());
      QVERIFY(!rig.session.Guard.Busy());
      QVERIFY(rig.dialogs.History.empty() && !dialogAboveAWait);
      if (way == Way::Close)
        QVERIFY(!rig.Memory() || !rig.Memory()->isVisible());
      else
        QVERIFY(rig.Memory() == m && m->isVisible() && m->CmdRead().isEnabled());
      // The other click was held, and comes once the event loop is at its top.
      QVERIFY(!otherRanMeanwhile);
      QTRY_COMPARE(otherClicks, 1);
    }
  }

  void eraseAsksThenSendsGAndClosesTheWindow() {
    Rig rig(WithLogger("small", false));
    rig.panel->RunKey(PanelKey::Memory);
    MemoryWindow* m = rig.Memory();
    rig.dialogs.Answers.push_back(MessageAnswer::Cancel);
    rig.port.ClearWritten();
    QTest::mouseClick(&m->CmdErase(), Qt::LeftButton);
    QVERIFY(rig.port.Written().empty());
    QVERIFY(m->isVisible());
    rig.dialogs.Answers.push_back(MessageAnswer::Ok);
    QTest::mouseClick(&m->CmdErase(), Qt::LeftButton);
    QCOMPARE(rig.port.Written().back(), 'G');
    QVERIFY(!rig.Memory() || !rig.Memory()->isVisible());
    QVERIFY(rig.panel->Timer1Active());
    QCOMPARE(rig.dialogs.History.back().Title, std::string("Warning!"));
  }
};

QTEST_MAIN(LoggerWindowsTest)
#include "LoggerWindowsTest.moc"
