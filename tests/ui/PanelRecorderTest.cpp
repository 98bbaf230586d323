// The main window's PC sampling, driven with the simulated instrument on the
// virtual clock: the interval box, a recording, "Open", the live list and
// printing it.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "PanelRig.hpp"
#include "PdfText.hpp"
#include "ToolbarKeys.hpp"
#include "app/Attach.hpp"
#include "link/Link.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"
#include "recorder/PcSamplingController.hpp"
#include "records/PrintLayout.hpp"
#include "session/Session.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The working folder is `path` while this lives (the lists save there).
class InFolder {
 public:
  explicit InFolder(const QString& path) : previous_(QDir::currentPath()) { QDir::setCurrent(path); }
  ~InFolder() { QDir::setCurrent(previous_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  QString previous_;
};

// A main window on the simulator whose timers the test drives by hand.
struct Rig : test::PanelRig {
  Rig() : PanelRig({2011, 7, 29, 0, 0, 0}) {}

  // The live List at one sample a second, its count at `count`.
  ListWindow* OpenList(int count) {
    session.Recorder.SampleTime = 1;
    Key("List");
    session.Recorder.ListCount = count;
    return sampling->List();
  }
  QString LabelText(PanelStatus field) { return panel.StatusLabel(field)->text(); }

  // One live poll, a second of virtual time, one Timer2 tick; returns the
  // value label texts the tick sampled, TAB-joined.
  QString PollAndTick() {
    panel.Timer1Tick();
    host.Advance(1.0);
    QStringList values;
    for (int q = 0; q < QuantityCount; ++q) values << panel.ValueLabel(q)->text();
    emit panel.Timer2Tick();
    return values.join('\t');
  }
};

}  // namespace

class PanelRecorderTest : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(tmp.isValid()); }
  void SamplingRecordingAndOpen();
  void ListGrowsReopensAtOneAndPrints();
  void ListIsSavedAndRestartedAtTenThousand();
  void ARecordingFileFaultStopsTheRecording();
  void TicksInsideAFaultMessageKeepTheListInOrder();
  void ListRestartedWhileItsSaveDialogIsOpen();

 private:
  QTemporaryDir tmp;
};

void PanelRecorderTest::SamplingRecordingAndOpen() {
  Rig rig;
  Toolbar& toolbar = rig.panel.Toolbar1();

  rig.dialogs.Inputs.push_back("1");
  rig.Key("Sampling");
  QCOMPARE(rig.dialogs.History.back().Title, std::string("Input Sampling Time"));
  QCOMPARE(rig.dialogs.History.back().Text, std::string("Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) "));
  QCOMPARE(rig.dialogs.History.back().DefaultAnswer, std::string("2"));
  QCOMPARE(rig.session.Recorder.SampleTime, 1);

  const QString path = tmp.filePath("rec.mes");
  rig.dialogs.QueueFile(path.toStdString());
  rig.Key("Save");
  QVERIFY(rig.session.Recorder.Recording);
  QCOMPARE(rig.LabelText(PanelStatus::FileName), QString("rec.mes"));
  QCOMPARE(toolbar.ToolTip(1), QString("Stop Recording"));
  QCOMPARE(toolbar.Picture(1).cacheKey(), toolbar.Picture(test::NumberOf(toolbar, "StopRecording")).cacheKey());
  QVERIFY(rig.panel.StatusLabel(PanelStatus::Rec)->isVisible());

  QStringList sampled;
  for (int i = 0; i < 3; ++i) sampled << rig.PollAndTick();
  QCOMPARE(rig.LabelText(PanelStatus::Count), QString("3"));
  QCOMPARE(rig.LabelText(PanelStatus::Rec), QString("Rec"));

  rig.Key("Open");  // refused while recording
  QCOMPARE(rig.dialogs.History.back().Text, std::string("Recording Mode!\n\rPlease stop recording!"));
  QCOMPARE(rig.dialogs.History.back().Icon, MessageIcon::Stop);
  QVERIFY(!rig.sampling->FileList());

  rig.Key("Save");
  QVERIFY(!rig.session.Recorder.Recording);
  QCOMPARE(toolbar.ToolTip(1), QString("Start Recording"));
  QCOMPARE(toolbar.Picture(1).cacheKey(), toolbar.Picture(test::NumberOf(toolbar, "sss")).cacheKey());
  QVERIFY(!rig.panel.StatusLabel(PanelStatus::Rec)->isVisible());
  QCOMPARE(rig.LabelText(PanelStatus::Count), QString(""));
  QCOMPARE(rig.LabelText(PanelStatus::FileName), QString(""));

  // Three records of the simulator's values, as the labels showed them.
  QList<QByteArray> lines = ReadAll(path).split('\n');
  QCOMPARE(lines.size(), 5);  // header, three records, nothing after the last CR LF
  QCOMPARE(lines[0], QByteArray::fromStdString(HeaderLine() + "\r"));
  QRegularExpression value("^-?\\d{3}\\.\\d$");
  for (int r = 1; r <= 3; ++r) {
    QString line = QString::fromLatin1(lines[r]).chopped(1);
    QStringList fields = line.split('\t');
    QCOMPARE(fields.size(), 31);
    QCOMPARE(fields[0], QString::number(r));
    QCOMPARE(fields[1], QString("2011/07/29"));
    QCOMPARE(fields[2], QString("10:00:0%1").arg(r));
    QCOMPARE(fields.mid(3).join('\t'), sampled[r - 1]);
    QVERIFY2(value.match(fields[8]).hasMatch(), qPrintable(fields[8]));  // V1
    QVERIFY(!line.endsWith('\t'));
  }

  rig.dialogs.QueueFile(path.toStdString());
  rig.Key("Open");
  QPointer<FileListWindow> files = rig.sampling->FileList();
  QVERIFY(files);
  QAbstractItemModelTester tester(files->RecordGrid().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  QCOMPARE(files->windowTitle(), QString("rec.mes"));
  QCOMPARE(files->RecordGrid().Rows(), 4);
  QCOMPARE(files->RecordGrid().TextMatrix(0, 1), std::string("Date"));
  QCOMPARE(QString::fromStdString(files->RecordGrid().TextMatrix(3, 2)), QString("10:00:03"));
  test::Press(files->Toolbar1(), "Plot");
  QCOMPARE(rig.session.Recorder.PlotRecordCount, 3.0f);

  // A second "Open" replaces the file list.
  rig.dialogs.QueueFile(path.toStdString());
  rig.Key("Open");
  QVERIFY(rig.sampling->FileList() != files.data());
  QTRY_VERIFY(files.isNull());
}

void PanelRecorderTest::ListGrowsReopensAtOneAndPrints() {
  Rig rig;
  rig.session.Recorder.SampleTime = 1;
  rig.Key("List");
  QPointer<ListWindow> list = rig.sampling->List();
  QVERIFY(list && list->isVisible());
  QVERIFY(rig.session.Recorder.ListActive);
  QAbstractItemModelTester tester(list->RecordGrid().model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  for (int i = 0; i < 3; ++i) rig.PollAndTick();
  QCOMPARE(list->RecordGrid().Rows(), 4);
  QCOMPARE(list->RecordGrid().TextMatrix(1, 0), std::string("1"));
  QCOMPARE(list->RecordGrid().TextMatrix(3, 0), std::string("3"));
  QCOMPARE(list->RecordGrid().TextMatrix(0, 1), std::string("      Date"));

  rig.Key("List");  // already open: nothing happens
  QCOMPARE(rig.sampling->List(), list.data());
  QCOMPARE(list->RecordGrid().Rows(), 4);

  // Printing the 3-record list to PDF, with the poll stopped and started again.
  PrinterChoice pdf;
  pdf.OutputFile = tmp.filePath("list.pdf").toStdString();
  pdf.Orientation = PageOrientation::Landscape;
  rig.dialogs.Printers.push_back(pdf);
  QVERIFY(!rig.panel.Timer1Active());
  test::Press(list->Toolbar1(), "Print");
  QVERIFY(rig.panel.Timer1Active());
  rig.panel.StopTimer1();
  QCOMPARE(list->windowTitle(), QString("List"));
  QString text = test::PdfText(tmp.filePath("list.pdf"));
  QVERIFY2(test::DashedHeaderPattern(QString::fromStdString(PrintHeaderLine())).match(text).hasMatch(),
           qPrintable(text));
  for (int r = 1; r <= 3; ++r) {
    QRegularExpression line(QString("0000%1\\s+2011/07/29\\s+10:00:0%1\\s+-?\\d{3}\\.\\d").arg(r));
    QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
  }

  // Closing stops the growth; reopening starts again at 1.
  list->close();
  QVERIFY(!rig.session.Recorder.ListActive);
  rig.PollAndTick();
  rig.Key("List");  // before the closed window is deleted
  QPointer<ListWindow> again = rig.sampling->List();
  QVERIFY(again && again != list);
  QVERIFY(again->isVisible());
  QTRY_VERIFY(list.isNull());
  QVERIFY(again);
  QCOMPARE(again->RecordGrid().Rows(), 1);
  rig.PollAndTick();
  QCOMPARE(again->RecordGrid().Rows(), 2);
  QCOMPARE(again->RecordGrid().TextMatrix(1, 0), std::string("1"));
}

void PanelRecorderTest::ListIsSavedAndRestartedAtTenThousand() {
  InFolder here(tmp.path());
  Rig rig;
  QPointer<ListWindow> first = rig.OpenList(9997);
  for (int i = 0; i < 3; ++i) rig.PollAndTick();  // samples 9998, 9999, 10000 at 10:00:01..03

  QPointer<ListWindow> second = rig.sampling->List();
  QVERIFY(second && second != first);
  QVERIFY(second->isVisible());
  QCOMPARE(second->RecordGrid().Rows(), 1);
  QCOMPARE(second->windowTitle(), QString("List"));
  QVERIFY(rig.session.Recorder.ListActive);
  QVERIFY(!QApplication::overrideCursor());
  QTRY_VERIFY(first.isNull());

  QList<QByteArray> lines = ReadAll("0729100003.mes").split('\n');
  QCOMPARE(lines.size(), 5);
  QCOMPARE(lines[0], QByteArray::fromStdString(HeaderLine() + "\t\r"));
  QVERIFY(lines[3].startsWith("10000\t2011/07/29\t10:00:03\t"));
  QVERIFY(lines[3].endsWith("\t\r"));

  rig.PollAndTick();
  QCOMPARE(second->RecordGrid().TextMatrix(1, 0), std::string("10001"));
}

void PanelRecorderTest::ARecordingFileFaultStopsTheRecording() {
  Rig rig;
  rig.session.Recorder.SampleTime = 1;
  QDir(tmp.path()).mkdir("run-1.mes");  // the continuation cannot be created
  rig.dialogs.QueueFile(tmp.filePath("run.mes").toStdString());
  rig.Key("Save");
  QVERIFY(rig.session.Recorder.Recording);
  rig.session.Recorder.RecCount = 10000;
  rig.PollAndTick();
  QVERIFY(!rig.session.Recorder.Recording);
  QCOMPARE(rig.panel.Toolbar1().ToolTip(1), QString("Start Recording"));
  QVERIFY(!rig.panel.StatusLabel(PanelStatus::Rec)->isVisible());
  QCOMPARE(rig.LabelText(PanelStatus::FileName), QString(""));
  QCOMPARE(rig.dialogs.History.back().Icon, MessageIcon::Stop);
  QVERIFY(QString::fromStdString(rig.dialogs.History.back().Text).contains(tmp.filePath("run-1.mes")));

  // A file that cannot be created at all: nothing records, the button stays.
  rig.dialogs.QueueFile(tmp.filePath("no/such/run.mes").toStdString());
  rig.Key("Save");
  QVERIFY(!rig.session.Recorder.Recording);
  QCOMPARE(rig.panel.Toolbar1().ToolTip(1), QString("Start Recording"));
  QVERIFY(QString::fromStdString(rig.dialogs.History.back().Text).contains("No such file or directory"));
}

void PanelRecorderTest::TicksInsideAFaultMessageKeepTheListInOrder() {
  Rig rig;
  rig.session.Recorder.SampleTime = 1;
  rig.Key("List");
  QPointer<ListWindow> list = rig.sampling->List();
  QDir(tmp.path()).mkdir("run-1.mes");  // the continuation cannot be created
  auto failAtNextRecord = [&] {
    rig.dialogs.QueueFile(tmp.filePath("run.mes").toStdString());
    rig.Key("Save");
    QVERIFY(rig.session.Recorder.Recording);
    rig.session.Recorder.RecCount = 10000;
  };

  // A message box runs the event loop, so Timer2 ticks on while it is up.
  failAtNextRecord();
  bool inside = false;
  rig.dialogs.OnShown = [&](const ScriptedDialogs::Shown& shown) {
    if (shown.What != ScriptedDialogs::Kind::Message || inside) return;
    inside = true;
    rig.PollAndTick();
  };
  rig.PollAndTick();
  QCOMPARE(rig.dialogs.MessageTexts().size(), std::size_t(1));
  QCOMPARE(list->RecordGrid().Rows(), 3);
  QCOMPARE(list->RecordGrid().TextMatrix(1, 0), std::string("1"));
  QCOMPARE(list->RecordGrid().TextMatrix(2, 0), std::string("2"));

  // The user closes the list while the box is up; the window goes at once.
  failAtNextRecord();
  inside = false;
  rig.dialogs.OnShown = [&](const ScriptedDialogs::Shown& shown) {
    if (shown.What != ScriptedDialogs::Kind::Message || inside) return;
    inside = true;
    list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    rig.PollAndTick();
  };
  rig.PollAndTick();
  QVERIFY(list.isNull());
  QVERIFY(!rig.session.Recorder.ListActive);
  QCOMPARE(rig.dialogs.MessageTexts().size(), std::size_t(2));
}

void PanelRecorderTest::ListRestartedWhileItsSaveDialogIsOpen() {
  InFolder here(tmp.path());
  Rig rig;
  QPointer<ListWindow> first = rig.OpenList(9998);
  rig.PollAndTick();

  // The file dialog runs the event loop: the 10 000th sample saves the list
  // on its own and replaces its window, which is deleted before the dialog ends.
  const QString chosen = tmp.filePath("chosen.mes");
  rig.dialogs.QueueFile(chosen.toStdString());
  rig.dialogs.OnShown = [&](const ScriptedDialogs::Shown& shown) {
    if (shown.What != ScriptedDialogs::Kind::SaveFile) return;
    rig.PollAndTick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };
  test::Press(first->Toolbar1(), "Save");
  QVERIFY(first.isNull());
  QVERIFY(QFile::exists("0729100002.mes"));
  QVERIFY(!QFile::exists(chosen));
  QVERIFY(!rig.session.Recorder.DialogOK);
  QCOMPARE(rig.dialogs.MessageTexts().size(), std::size_t(1));
  QVERIFY(QString::fromStdString(rig.dialogs.MessageTexts()[0]).contains(chosen));
  QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(PanelRecorderTest)
#include "PanelRecorderTest.moc"
