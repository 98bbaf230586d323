// "Panel" against the simulated instrument on the virtual clock: layout, the
// load, the live readout, the link indicator, "RTC", "Memory" and the end.
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "SimLine.hpp"
#include "ToolbarKeys.hpp"
#include "link/Link.hpp"
#include "panel/PanelLayout.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/TwipsGeometry.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {
struct Rig : test::SimLine {
  explicit Rig(InstrumentSettings settings = {}, double startSeconds = 36000.0, DateTime date = {2026, 12, 9, 0, 0, 0})
      : SimLine(std::move(settings), startSeconds, date),
        panel(std::make_unique<PanelWindow>(session, link, dialogs)) {}
  QString Text(int quantity) const { return panel->ValueLabel(quantity)->text(); }
  QString Text(PanelStatus field) const { return panel->StatusLabel(field)->text(); }
  int VisiblePicture() const {
    int shown = -1;
    for (int i = 0; i < 4; ++i)
      if (!panel->WiringPicture(i)->isHidden()) {
        if (shown >= 0) return -2;  // more than one
        shown = i;
      }
    return shown;
  }

  std::unique_ptr<PanelWindow> panel;
};

InstrumentSettings WithLogger(const char* logger, double bytesPerSecond = 1920.0) {
  InstrumentSettings s;
  s.Logger = logger;
  s.BytesPerSecond = bytesPerSecond;
  return s;
}

// Every caption the window takes, in order.
class TitleRecorder : public QObject {
 public:
  explicit TitleRecorder(QWidget* window) : window_(window) { window->installEventFilter(this); }
  QStringList Titles;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::WindowTitleChange) Titles << window_->windowTitle();
    return false;
  }

 private:
  QWidget* window_;
};
}  // namespace

class PanelWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void layout() {
    Rig rig;
    PanelWindow& p = *rig.panel;
    QCOMPARE(p.windowTitle(), QString("Panel  V8.00"));
    QCOMPARE(p.size(), QSize(455, 666));

    Toolbar& bar = p.Toolbar1();
    QCOMPARE(bar.Count(), 11);
    QCOMPARE(bar.geometry(), TwipsRect(0, 0, 6825, 420));
    for (int i = 1; i <= 11; ++i) {
      const ToolButtonSpec& button = PanelToolButtons[static_cast<std::size_t>(i - 1)];
      QCOMPARE(bar.Key(i), QString(button.Key));
      QCOMPARE(bar.ToolTip(i), QString(button.ToolTip));
      QCOMPARE(bar.IsButtonVisible(i), i <= 8);
      QVERIFY(!bar.Picture(i).isNull());
    }
    QCOMPARE(bar.ToolTip(8), QString("Set Real Time Clock to System Time"));
    // The windows it opens have a key each, named in the shown tip.
    QStringList keys;
    for (PanelKey key :
         {PanelKey::Save, PanelKey::Open, PanelKey::List, PanelKey::Graph, PanelKey::Memory, PanelKey::Harmonic}) {
      QAction* action = bar.Action(ButtonNumber(key));
      const QString text = action->shortcut().toString();
      QVERIFY(!text.isEmpty() && !keys.contains(text));
      keys << text;
      QVERIFY(action->toolTip().endsWith("(" + text + ")"));
    }
    QCOMPARE(keys.first(), QString("Ctrl+R"));
    QCOMPARE(keys[1], QString("Ctrl+O"));

    for (const ValueCell& cell : PanelValueCells()) {
      QLabel* value = p.ValueLabel(cell.Quantity());
      QVERIFY2(value, cell.Label);
      QCOMPARE(value->geometry(), TwipsRect(cell.Left, cell.Top, 855, 375));
      QCOMPARE(value->text(), QString());
      CaptionPanel* header = p.Header(cell.Quantity());
      QVERIFY2(header, cell.Label);
      QCOMPARE(header->geometry(), TwipsRect(cell.Left, cell.Top - 360, 855, 360));
      QCOMPARE(header->Caption(), QString(cell.Header));
      QVERIFY(value->toolTip().endsWith(")") || value->toolTip().contains("power factor"));
    }
    QCOMPARE(p.ValueLabel(QuantityIndexOf("KW1"))->toolTip(), QString("Phase 1 active power (kW)"));
    // Ctrl+R starts and stops a recording; Ctrl+O opens.
    QCOMPARE(bar.Action(1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    QCOMPARE(bar.Action(2)->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(p.ValueLabel(QuantityIndexOf("KVAR2"))->geometry().topLeft(), QPoint(72, 504));
    QCOMPARE(p.ValueLabel(QuantityIndexOf("I4"))->geometry().topLeft(), QPoint(392, 616));

    QCOMPARE(p.StatusLabel(PanelStatus::Rec)->geometry().topLeft(), QPoint(8, 648));
    QCOMPARE(p.StatusLabel(PanelStatus::Count)->geometry().x(), 56);
    QCOMPARE(p.StatusLabel(PanelStatus::FileName)->geometry().x(), 200);
    QCOMPARE(p.StatusLabel(PanelStatus::COM)->geometry().topLeft(), QPoint(392, 648));
    QCOMPARE(p.StatusLabel(PanelStatus::Rec)->text(), QString("Rec."));
    QVERIFY(p.StatusLabel(PanelStatus::Rec)->isHidden());
    QCOMPARE(p.StatusLabel(PanelStatus::COM)->text(), QString("No COM"));
    QCOMPARE(p.StatusLabel(PanelStatus::Count)->text(), QString());

    for (int i = 0; i < 4; ++i) {
      QCOMPARE(p.WiringPicture(i)->objectName(), QString(WiringPictureNames[static_cast<std::size_t>(i)]));
      QCOMPARE(p.WiringPicture(i)->geometry(), TwipsRect(120, 480, 6585, 5760));
    }
    QCOMPARE(rig.VisiblePicture(), -1);
    QVERIFY(!p.Timer1Active());
  }

  void loadSequence() {
    Rig rig;
    rig.session.Logger.SetHeaderCache[5] = "entry";
    rig.session.Logger.SetDataCache[99] = "records";
    rig.session.Recorder.Recording = true;
    rig.session.Recorder.SampleTime = 7;
    rig.panel->show();
    rig.panel->move(300, 200);
    rig.panel->Load();
    QCOMPARE(rig.panel->pos(), QPoint(0, 0));
    QCOMPARE(rig.session.CosTable[0], 1.0f);
    QVERIFY(rig.session.CosTable[450] > 0.7071f && rig.session.CosTable[450] < 0.7072f);
    QCOMPARE(rig.Text(PanelStatus::COM), QString("COM1"));
    QCOMPARE(rig.port.Written(), std::string("E"));  // and nothing else yet
    QVERIFY(!rig.session.Recorder.Recording);
    QCOMPARE(rig.session.Recorder.SampleTime, 2);
    QVERIFY(rig.session.Logger.SetHeaderCache[5].empty());
    QVERIFY(rig.session.Logger.SetDataCache[99].empty());
    QVERIFY(rig.panel->Timer1Active());
    QVERIFY(rig.panel->Timer2().isActive());
    QCOMPARE(rig.panel->Timer2().interval(), 1000);

    // A device path shows its name in the link indicator.
    Rig path;
    path.session.Meter.ComPort = 0;
    path.session.Meter.PortDevice = "/dev/ttyUSB0";
    path.panel->Load();
    QCOMPARE(path.Text(PanelStatus::COM), QString("ttyUSB0"));
  }

  void readingFillsEveryLabelWithTheInstrumentsTexts() {
    Rig rig;
    rig.panel->Load();
    QSignalSpy shown(rig.panel.get(), &PanelWindow::ReadingShown);
    rig.panel->Timer1Tick();
    QCOMPARE(shown.count(), 1);
    const LiveReading& sent = rig.instrument.LastReadingTexts();
    QVERIFY(!sent.V1.empty());
    for (const ValueCell& cell : PanelValueCells())
      QCOMPARE(rig.Text(cell.Quantity()), QString::fromStdString(sent.ByIndex(cell.Quantity())));
    QCOMPARE(rig.Text(PanelStatus::COM), QString("COM1"));
    QCOMPARE(rig.VisiblePicture(), 3);  // the simulator's default wiring, 3P4W
  }

  void overRangeAndNegativeFlagsReachTheirLabels() {
    Rig rig;
    LoadSettings& load = rig.instrument.Load().Settings();
    load.Over.V1 = true;
    load.Over.I4 = true;
    load.Phases[0].Reverse = true;  // KW1 < 0
    load.Phases[0].Angle = -30.0;   // leading: KVAR1 and Theta1 < 0
    rig.panel->Load();
    rig.panel->Timer1Tick();
    QCOMPARE(rig.Text(QuantityIndexOf("V1")), QString("OL"));
    QCOMPARE(rig.Text(QuantityIndexOf("I4")), QString("OL"));
    QVERIFY2(rig.Text(QuantityIndexOf("KW1")).startsWith("-"), qPrintable(rig.Text(QuantityIndexOf("KW1"))));
    QVERIFY2(rig.Text(QuantityIndexOf("KVAR1")).startsWith("-"), qPrintable(rig.Text(QuantityIndexOf("KVAR1"))));
    QVERIFY2(rig.Text(QuantityIndexOf("Theta1")).startsWith("-"), qPrintable(rig.Text(QuantityIndexOf("Theta1"))));
    QVERIFY(!rig.Text(QuantityIndexOf("PF1")).startsWith("-"));
    QVERIFY(!rig.Text(QuantityIndexOf("KVA1")).startsWith("-"));
    for (const char* other : {"V2", "V3", "I1", "KW2", "KVAR2", "Theta3"}) {
      QVERIFY2(rig.Text(QuantityIndexOf(other)) != "OL", other);
      QVERIFY2(!rig.Text(QuantityIndexOf(other)).startsWith("-"), other);
    }
  }

  void wiringPictureFollowsTheCodeAndAnUnknownCodeKeepsIt() {
    Rig rig;
    rig.panel->Load();
    int& code = rig.instrument.Load().Settings().WiringCode;
    const std::pair<int, int> steps[] = {{1, 0}, {2, 1}, {4, 2}, {8, 3}, {1, 0}, {3, 0}, {0, 0}, {4, 2}, {15, 2}};
    for (auto [wiring, picture] : steps) {
      code = wiring;
      rig.panel->Timer1Tick();
      QCOMPARE(rig.session.Meter.WiringCode, wiring);
      QCOMPARE(rig.VisiblePicture(), picture);
    }
  }

  void silentInstrumentShowsNoComThenThePortAgain() {
    Rig rig;
    rig.panel->Load();
    rig.panel->Timer1Tick();
    const QString v1 = rig.Text(QuantityIndexOf("V1"));
    rig.instrument.Faults().Silent = true;
    const double back = rig.host.Monotonic() + 10.0;
    rig.host.ScheduleAt(back, [&] { rig.instrument.Faults().Silent = false; });
    QStringList indicator;
    QStringList valuesMeanwhile;
    QLabel* v1Label = rig.panel->ValueLabel(QuantityIndexOf("V1"));
    const QColor live = v1Label->palette().color(QPalette::WindowText);
    bool dimmedMeanwhile = true, redMeanwhile = true;
    rig.host.OnEvents = [&] {
      QString com = rig.Text(PanelStatus::COM);
      if (indicator.isEmpty() || indicator.last() != com) indicator << com;
      if (com != "No COM") return;
      valuesMeanwhile << rig.Text(QuantityIndexOf("V1"));
      dimmedMeanwhile &= v1Label->palette().color(QPalette::WindowText) != live;
      redMeanwhile &=
          rig.panel->StatusLabel(PanelStatus::COM)->palette().color(QPalette::Window) == QColor(0xc0, 0x10, 0x10);
    };
    rig.panel->Timer1Tick();
    QVERIFY2(indicator.contains("No COM"), qPrintable(indicator.join(",")));
    QVERIFY(!valuesMeanwhile.isEmpty());
    for (const QString& v : valuesMeanwhile) QCOMPARE(v, v1);  // the last reading stays meanwhile, dimmed
    QVERIFY(dimmedMeanwhile);
    QVERIFY(redMeanwhile);
    QCOMPARE(rig.Text(PanelStatus::COM), QString("COM1"));
    QVERIFY(!rig.panel->LinkLostShown());
    QCOMPARE(v1Label->palette().color(QPalette::WindowText), live);
    QVERIFY(rig.host.Monotonic() >= back);
  }

  void lblComClicksToggleTheBuildDate() {
    Rig rig;
    rig.panel->show();
    QLabel* com = rig.panel->StatusLabel(PanelStatus::COM);
    QTest::mouseClick(com, Qt::LeftButton);
    QCOMPARE(rig.panel->windowTitle(), QString("Panel  V8.00   110729"));
    QTest::mouseClick(com, Qt::LeftButton);
    QCOMPARE(rig.panel->windowTitle(), QString("Panel  V8.00"));
    QTest::mouseClick(com, Qt::RightButton);
    QCOMPARE(rig.panel->windowTitle(), QString("Panel  V8.00"));
  }

  void rtcWritesThePcTimeWithThePollStopped() {
    struct Case {
      double seconds;
      DateTime date;
      std::string bytes;
    };
    const Case cases[] = {
        {13 * 3600 + 45 * 60 + 7, {2011, 7, 29, 0, 0, 0}, "\x44\x11\x07\x29\x13\x45\x07"},
        {23 * 3600 + 59 * 60 + 58, {2009, 12, 31, 0, 0, 0}, "\x44\x09\x12\x31\x23\x59\x58"},
    };
    for (const Case& c : cases) {
      Rig rig({}, c.seconds, c.date);
      rig.panel->Load();
      rig.port.ClearWritten();
      bool pollRanMeanwhile = false;
      rig.host.OnEvents = [&] { pollRanMeanwhile |= rig.panel->Timer1Active(); };
      rig.panel->Toolbar1().Click(8);
      const std::string& written = rig.port.Written();
      QVERIFY(written.size() >= 8);
      QCOMPARE(written.substr(written.size() - 7), c.bytes);
      QCOMPARE(written.substr(0, written.size() - 7).find_first_not_of('w'), std::string::npos);
      QCOMPARE(rig.instrument.LastClockBytes(), c.bytes.substr(1));
      QVERIFY(!pollRanMeanwhile);
      QVERIFY(rig.panel->Timer1Active());
      // The status row says so, for a few seconds.
      QVERIFY(rig.panel->StatusNote().isVisibleTo(rig.panel.get()));
      QCOMPARE(rig.panel->StatusNote().text().toStdString(), ClockSetText(c.bytes));
    }
  }

  void closingDuringARecordingAsksFirst() {
    Rig rig;
    rig.panel->show();
    rig.panel->Load();
    rig.session.Recorder.Recording = true;
    rig.session.Recorder.RecFileName = "/data/run.mes";
    QSignalSpy ending(rig.panel.get(), &PanelWindow::Ending);
    rig.dialogs.Answers.push_back(MessageAnswer::Cancel);
    QVERIFY(!rig.panel->close());
    QCOMPARE(ending.count(), 0);
    QVERIFY(rig.panel->isVisible());
    QCOMPARE(rig.dialogs.History.back().Icon, MessageIcon::Question);
    QCOMPARE(rig.dialogs.History.back().Buttons, MessageButtons::OkCancel);
    QCOMPARE(rig.dialogs.History.back().Text, CloseWhileRecordingQuestion("/data/run.mes"));
    rig.dialogs.Answers.push_back(MessageAnswer::Ok);
    QVERIFY(rig.panel->close());
    QCOMPARE(ending.count(), 1);
    // Without a recording nothing is asked.
    Rig idle;
    idle.panel->show();
    idle.panel->Load();
    QVERIFY(idle.panel->close());
    QVERIFY(idle.dialogs.History.empty());
  }

  void commandDuringAPollTakesThePort() {
    Rig rig;
    rig.panel->Load();
    QSignalSpy shown(rig.panel.get(), &PanelWindow::ReadingShown);
    bool clicked = false;
    rig.host.OnEvents = [&] {
      if (clicked || !rig.session.Guard.Busy()) return;
      clicked = true;
      rig.panel->Timer1Tick();  // ticks never overlap: refused at once
      rig.panel->RunKey(PanelKey::RTC);
    };
    rig.panel->Timer1Tick();
    QVERIFY(clicked);
    QCOMPARE(shown.count(), 0);  // the interrupted tick showed nothing
    QCOMPARE(rig.instrument.LastClockBytes().size(), std::size_t(6));
    QVERIFY(rig.panel->Timer1Active());
    rig.host.OnEvents = nullptr;
    rig.panel->Timer1Tick();
    QCOMPARE(shown.count(), 1);
  }

  void memoryShowsProgressRestoresTheCaptionAndHandsOver() {
    Rig rig(WithLogger("small", 60.0));  // slow enough for several reads
    rig.panel->Load();
    rig.panel->setWindowTitle("Panel  V8.00   110729");
    TitleRecorder recorder(rig.panel.get());
    int loggerOpened = 0;
    auto opener = connect(rig.panel.get(), &PanelWindow::LoggerSetsFound, this, [&] { ++loggerOpened; });
    rig.panel->Toolbar1().Click(6);
    const QStringList& t = recorder.Titles;
    QVERIFY2(t.contains("50.0% Completed"), qPrintable(t.join(",")));
    QCOMPARE(t.at(t.size() - 2), QString("100.0% Completed"));
    QCOMPARE(t.last(), QString("Panel  V8.00   110729"));
    QCOMPARE(rig.session.Logger.LoggerSetCount, 3);
    QCOMPARE(loggerOpened, 1);
    QVERIFY(!rig.panel->Timer1Active());  // the logger window starts it when it closes
    QVERIFY(rig.dialogs.History.empty());

    // Until the logger window exists, the poll resumes at once.
    disconnect(opener);
    rig.panel->RunKey(PanelKey::Memory);
    QVERIFY(rig.panel->Timer1Active());
  }

  void emptyLoggerSaysSoAndThePollRunsAgain() {
    Rig rig(WithLogger("empty"));
    rig.panel->Load();
    bool stoppedDuringMessage = false;
    rig.dialogs.OnShown = [&](const ScriptedDialogs::Shown&) { stoppedDuringMessage = !rig.panel->Timer1Active(); };
    rig.panel->RunKey(PanelKey::Memory);
    QCOMPARE(rig.dialogs.MessageTexts(), std::vector<std::string>{"No Data in Memory"});
    QCOMPARE(rig.dialogs.History[0].Icon, MessageIcon::Stop);
    QVERIFY(stoppedDuringMessage);
    QCOMPARE(rig.panel->windowTitle(), QString("Panel  V8.00"));
    QVERIFY(rig.panel->Timer1Active());
    QSignalSpy shown(rig.panel.get(), &PanelWindow::ReadingShown);
    rig.panel->Timer1Tick();
    QCOMPARE(shown.count(), 1);
  }

  void toolbarHooks() {
    Rig rig;
    QStringList ran;
    PanelWindow* panel = rig.panel.get();
    const std::pair<void (PanelWindow::*)(), const char*> commands[] = {
        {&PanelWindow::SaveWanted, "Save"},         {&PanelWindow::OpenWanted, "Open"},
        {&PanelWindow::ListWanted, "List"},         {&PanelWindow::GraphWanted, "Graph"},
        {&PanelWindow::SamplingWanted, "Sampling"}, {&PanelWindow::HarmonicWanted, "Harmonic"}};
    for (auto [wanted, name] : commands) QObject::connect(panel, wanted, panel, [&ran, name = name] { ran << name; });
    for (int i = 1; i <= 11; ++i)
      if (i != 6 && i != 8) rig.panel->Toolbar1().Click(i);
    QCOMPARE(ran, QStringList({"Save", "Open", "List", "Graph", "Sampling", "Harmonic"}));
    QVERIFY(rig.port.Written().empty());

    QSignalSpy ticks(rig.panel.get(), &PanelWindow::Timer2Tick);
    rig.panel->Load();
    QVERIFY(ticks.wait(3000));
  }

  void closingEndsTheProgramEvenInsideAStuckPoll() {
    Rig rig;
    rig.panel->show();
    rig.panel->Load();
    rig.instrument.Faults().Silent = true;
    QSignalSpy ending(rig.panel.get(), &PanelWindow::Ending);
    rig.host.ScheduleAt(rig.host.Monotonic() + 5.0, [&] { rig.panel->close(); });
    rig.panel->Timer1Tick();  // would wait for the instrument for ever
    QCOMPARE(ending.count(), 1);
    QVERIFY(!rig.panel->Timer1Active());
    QVERIFY(!rig.panel->Timer2().isActive());
    QVERIFY(rig.Text(QuantityIndexOf("V1")).isEmpty());
    // Nothing talks to the port any more.
    rig.instrument.Faults().Silent = false;
    rig.port.ClearWritten();
    rig.panel->RunKey(PanelKey::RTC);
    rig.panel->RunKey(PanelKey::Memory);
    rig.panel->Timer1Tick();
    QVERIFY(rig.port.Written().empty());
  }

  // The program's window deletes itself on close, and the event loop inside a
  // wait may carry that out: the handler that is waiting must not touch the
  // window, its members or the port afterwards.
  void windowDeletedInsideAWaitIsLeftAlone() {
    // A clock setting that has sent "D" still sends its six bytes: the
    // instrument would otherwise take the next bytes on the line for them.
    struct Case {
      const char* what;
      char sentLast;
      std::size_t bytesAfter;
    };
    const Case cases[] = {{"poll", ' ', 0}, {"RTC", 'D', 6}, {"Memory", 'T', 0}};
    for (auto [what, sentLast, bytesAfter] : cases) {
      Rig rig(WithLogger("small", 60.0));
      PanelWindow* panel = rig.panel.release();
      panel->setAttribute(Qt::WA_DeleteOnClose);
      panel->show();
      panel->Load();
      QPointer<PanelWindow> watch(panel);
      QSignalSpy ending(panel, &PanelWindow::Ending);
      std::size_t writtenAtClose = 0;
      rig.host.OnEvents = [&, sentLast = sentLast] {
        const std::string& w = rig.port.Written();
        if (!watch || w.empty() || w.back() != sentLast) return;
        writtenAtClose = w.size();
        watch->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // as the event loop would
      };
      if (std::string(what) == "poll")
        panel->Timer1Tick();
      else  // as a user clicks: the button and its toolbar go with the window
        QTest::mouseClick(panel->Toolbar1().Button(test::NumberOf(panel->Toolbar1(), what)), Qt::LeftButton);
      QVERIFY2(!watch, what);
      QCOMPARE(ending.count(), 1);
      QVERIFY2(writtenAtClose > 0, what);
      QCOMPARE(rig.port.Written().size(), writtenAtClose + bytesAfter);
      rig.host.OnEvents = nullptr;
    }
  }
};

QTEST_MAIN(PanelWindowTest)
#include "PanelWindowTest.moc"
