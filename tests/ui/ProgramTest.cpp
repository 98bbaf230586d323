// The whole program on a real pseudo-terminal, on the wall clock: from the
// port window to the end, and reconnection when qelt-sim is restarted on the
// same link. Generous time limits; nothing here measures speed.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "ProcessUsage.hpp"
#include "ToolbarKeys.hpp"
#include "app/Program.hpp"
#include "link/Link.hpp"
#include "link/PortWindow.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/QtDialogs.hpp"
#include "platform/qt/StoredSettings.hpp"
#include "platform/qt/Toolbar.hpp"
#include "sim/PtySimulator.hpp"

using namespace qelt;

namespace {
using test::CpuSeconds;

// Starts qelt-sim on the link; returns its device or an empty text.
QString StartSim(QProcess& sim, const QString& link) {
  sim.setProgram(QELT_SIM_PATH);
  sim.setArguments({"--link", link});
  sim.start();
  if (!sim.waitForStarted(10000)) return {};
  while (!sim.canReadLine())
    if (!sim.waitForReadyRead(10000)) return {};
  return QString::fromUtf8(sim.readLine()).trimmed();
}

// OK in the port window with the given text; the main window comes up.
PanelWindow* Choose(Program& program, const QString& text) {
  program.Start(text);
  PortWindow* port = program.Port();
  if (!port || port->TxtCOM()->currentText() != text) return nullptr;
  QTest::mouseClick(port->CmdOK(), Qt::LeftButton);
  return program.Panel();
}

// Real message boxes, each held open for HeldMs and then answered with OK;
// file dialogs answered from a list.
class HeldDialogs : public QtDialogs {
 public:
  int HeldMs = 0;
  std::vector<std::string> Files;
  std::vector<std::string> Messages;

  MessageAnswer Message(const std::string& text, MessageIcon icon, MessageButtons buttons,
                        const std::string& title) override {
    Messages.push_back(text);
    QTimer::singleShot(HeldMs, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        box->button(QMessageBox::Ok)->click();
    });
    return QtDialogs::Message(text, icon, buttons, title);
  }
  std::optional<FileChoice> SaveFile(const FileRequest&) override {
    if (Files.empty()) return std::nullopt;
    std::string path = Files.front();
    Files.erase(Files.begin());
    return FileChoice{path, FileNameOf(path)};
  }
};

// A click as the window system would deliver it: queued, handled whenever
// the event loop next runs.
void PostClick(QWidget* button) {
  const QPointF at(button->width() / 2.0, button->height() / 2.0);
  const QPointF global = button->mapToGlobal(at);
  QCoreApplication::postEvent(
      button, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(
      button, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}
}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT
 private slots:
  void fromThePortWindowToTheEnd() {
    PtySimulator simulator;
    std::string device, error;
    QVERIFY2(simulator.Start({}, device, error), error.c_str());
    ScriptedDialogs dialogs;
    auto program = std::make_unique<Program>(dialogs);
    QPointer<PortWindow> port;
    PanelWindow* panel = nullptr;
    {
      program->Start(QString::fromStdString(device));
      port = program->Port();
      QVERIFY(port && port->isVisible());
      QCOMPARE(port->TxtCOM()->currentText(), QString::fromStdString(device));
      QTest::mouseClick(port->CmdOK(), Qt::LeftButton);
      panel = program->Panel();
    }
    QVERIFY(panel && panel->isVisible());
    QCOMPARE(panel->pos(), QPoint(0, 0));
    QVERIFY(panel->Timer1Active());
    QTRY_VERIFY(port.isNull());  // the port window closed and went
    QVERIFY(dialogs.History.empty());

    QSignalSpy shown(panel, &PanelWindow::ReadingShown);
    QVERIFY(shown.wait(10000));
    QCOMPARE(panel->StatusLabel(PanelStatus::COM)->text(), QString::fromStdString(PortLabelFor(device, 0)));
    QVERIFY(!panel->ValueLabel(QuantityIndexOf("V1"))->text().isEmpty());
    QVERIFY(!panel->WiringPicture(3)->isHidden());

    // The readings keep coming; the count is printed, not judged.
    const int before = static_cast<int>(shown.count());
    const double cpuBefore = CpuSeconds();
    QTest::qWait(3000);
    qInfo("%d readings in 3 s against the paced simulator, %.1f %% of a core", static_cast<int>(shown.count()) - before,
          100.0 * (CpuSeconds() - cpuBefore) / 3.0);
    QVERIFY(shown.count() > before);

    // Closing the main window closes every other window and ends the run.
    QWidget other;
    other.show();
    QPointer<PanelWindow> watch(panel);
    panel->close();
    QVERIFY(program->Ended());
    QVERIFY(!other.isVisible());
    QTRY_VERIFY(watch.isNull());
    program.reset();

    // The port is free again.
    QSerialPort again;
    again.setPortName(QString::fromStdString(device));
    QVERIFY2(again.open(QIODevice::ReadWrite), qPrintable(again.errorString()));
  }

  // "Open" clicked while a poll waits for its reply, during a recording: the
  // click is handled once the poll's tick is over, so its message box sits
  // above the event loop, not above the poll; held open for 10 s, it costs
  // the recording no record.
  void aMessageBoxOverARecordingLeavesThePollRunning() {
    PtySimulator simulator;
    std::string device, error;
    QVERIFY2(simulator.Start({}, device, error), error.c_str());
    QTemporaryDir dir;
    HeldDialogs dialogs;
    Program program(dialogs);
    PanelWindow* panel = Choose(program, QString::fromStdString(device));
    QVERIFY(panel);
    dialogs.SetParent(panel);
    Session& session = program.SharedSession();
    session.Recorder.SampleTime = 1;
    QSignalSpy shown(panel, &PanelWindow::ReadingShown);
    QVERIFY(shown.wait(10000));

    const std::string file = dir.filePath("held.mes").toStdString();
    dialogs.Files.push_back(file);
    Toolbar& toolbar = panel->Toolbar1();
    test::Press(toolbar, "Save");
    QVERIFY(session.Recorder.Recording);
    QTRY_VERIFY_WITH_TIMEOUT(session.Recorder.RecCount >= 3, 10000);

    // Into the middle of a poll's wait.
    QToolButton* open = toolbar.Button(test::NumberOf(toolbar, "Open"));
    QTimer inPoll;
    inPoll.setInterval(1);
    bool posted = false;
    connect(&inPoll, &QTimer::timeout, [&] {
      if (!session.Guard.Busy() || session.Guard.CommandActive()) return;
      inPoll.stop();
      posted = true;
      PostClick(open);
    });
    const std::int64_t skippedBefore = session.Recorder.SkippedRecords;
    const std::int64_t recordsBefore = session.Recorder.RecCount;
    dialogs.HeldMs = 10000;
    inPoll.start();
    QTRY_VERIFY_WITH_TIMEOUT(!dialogs.Messages.empty(), 5000);
    QVERIFY(posted);
    QVERIFY(dialogs.Messages.back().rfind("Recording Mode!", 0) == 0);
    // The box is closed by now: Message returned.
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() == nullptr, 15000);
    QTest::qWait(1500);
    qInfo("%lld records and %lld skipped while the box was open",
          static_cast<long long>(session.Recorder.RecCount - recordsBefore),
          static_cast<long long>(session.Recorder.SkippedRecords - skippedBefore));
    QCOMPARE(session.Recorder.SkippedRecords, skippedBefore);
    QVERIFY(session.Recorder.RecCount - recordsBefore >= 8);

    test::Press(toolbar, "Save");
    QVERIFY(!session.Recorder.Recording);
    panel->close();
  }

  void aNamedPortThatCannotOpenKeepsThePortWindow() {
    ScriptedDialogs dialogs;
    Program program(dialogs);
    const QString missing = "/dev/qelt-no-such-device";
    QCOMPARE(Choose(program, missing), nullptr);
    QVERIFY(program.Port() && program.Port()->isVisible());
    QCOMPARE(dialogs.History.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(dialogs.History[0].Text).contains(missing));
    program.Port()->close();
  }

  void reconnectsWhenTheSimulatorComesBack() {
    const QString link = QDir::temp().filePath(QString("qelt-ui-link-%1").arg(getpid()));
    QProcess sim;
    QVERIFY(!StartSim(sim, link).isEmpty());

    ScriptedDialogs dialogs;
    Program program(dialogs);
    PanelWindow* panel = Choose(program, link);
    QVERIFY(panel);
    QLabel* com = panel->StatusLabel(PanelStatus::COM);
    QSignalSpy shown(panel, &PanelWindow::ReadingShown);
    QVERIFY(shown.wait(10000));
    const QString label = QString::fromStdString(PortLabelFor(link.toStdString(), 0));
    QCOMPARE(com->text(), label);

    // The steps run from a timer, as a user's actions would: while the link
    // is lost the poll's wait sits below everything else on the stack.
    enum class Step { Running, Lost, Outage, Back, Done } step = Step::Running;
    QProcess again;
    qsizetype readingsAtLoss = 0;
    double cpuAtLoss = 0;
    QElapsedTimer sinceLoss;
    QString failure;
    QTimer driver;
    driver.setInterval(50);
    connect(&driver, &QTimer::timeout, [&] {
      switch (step) {
        case Step::Running:  // the instrument goes away
          sim.terminate();
          sim.waitForFinished(10000);
          step = Step::Lost;
          break;
        case Step::Lost:
          if (com->text() == "No COM") {
            readingsAtLoss = shown.count();
            cpuAtLoss = CpuSeconds();
            sinceLoss.start();
            step = Step::Outage;
          }
          break;
        case Step::Outage:
          if (sinceLoss.elapsed() < 3000) break;
          qInfo("CPU while the link is lost: %.1f %% of a core",
                100.0 * (CpuSeconds() - cpuAtLoss) / (static_cast<double>(sinceLoss.elapsed()) / 1000.0));
          if (shown.count() != readingsAtLoss || com->text() != "No COM") failure = "readings during the outage";
          // It comes back under the same name.
          if (StartSim(again, link).isEmpty()) failure = "qelt-sim did not start again";
          step = Step::Back;
          break;
        case Step::Back:
          if (shown.count() > readingsAtLoss && com->text() == label) step = Step::Done;
          break;
        case Step::Done: break;
      }
    });
    driver.start();
    QTRY_VERIFY_WITH_TIMEOUT(step == Step::Done || !failure.isEmpty(), 60000);
    driver.stop();
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(!panel->ValueLabel(QuantityIndexOf("V1"))->text().isEmpty());

    panel->close();
    QVERIFY(program.Ended());
    again.terminate();
    again.waitForFinished(10000);
  }
  // The interval set in one run is the next run's: the sampling (List and
  // recordings count their ticks against SampleTime) and the interval
  // dialog's offer start from it, and quitting keeps the one set last.
  void theSamplingIntervalIsKeptAcrossARestart() {
    PtySimulator simulator;
    std::string device, error;
    QVERIFY2(simulator.Start({}, device, error), error.c_str());
    QTemporaryDir dir;
    const QString ini = dir.filePath("qelt.ini");
    {
      StoredSettings kept(ini);
      kept.SetSamplingInterval(1);
      kept.Flush();
    }
    struct Run {
      const char* Offered;
      const char* Answer;
    };
    for (const Run run : {Run{"1", "7"}, Run{"7", ""}}) {
      StoredSettings settings(ini);
      ScriptedDialogs dialogs;
      auto program = std::make_unique<Program>(dialogs, &settings);
      PanelWindow* panel = Choose(*program, QString::fromStdString(device));
      QVERIFY(panel);
      const int kept = std::stoi(run.Offered);
      QCOMPARE(program->SharedSession().Recorder.SampleTime, kept);
      dialogs.Inputs.push_back(run.Answer);
      test::Press(panel->Toolbar1(), "Sampling");
      QCOMPARE(dialogs.History.back().What, ScriptedDialogs::Kind::Input);
      QCOMPARE(dialogs.History.back().DefaultAnswer, std::string(run.Offered));
      panel->close();
      QVERIFY(program->Ended());
      program.reset();
    }
    QCOMPARE(StoredSettings(ini).SamplingInterval(), std::optional<int>(7));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("interval=7"));
  }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
