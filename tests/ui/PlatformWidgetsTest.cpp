// The toolbar, the captioned panel, twips geometry, the Qt file filter and
// the background job.
#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <memory>
#include <thread>

#include "ToolbarKeys.hpp"
#include "platform/Twips.hpp"
#include "platform/qt/Artwork.hpp"
#include "platform/qt/BackgroundJob.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/QtDialogs.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/TwipsGeometry.hpp"

using namespace qelt;

class PlatformWidgetsTest : public QObject {
  Q_OBJECT
 private slots:
  void backgroundJobTellsProgressAndEndAfterTheJoin() {
    BackgroundJob job;
    QSignalSpy progress(&job, &BackgroundJob::Progress);
    QSignalSpy done(&job, &BackgroundJob::Done);
    std::atomic<bool> release{false};
    auto written = std::make_shared<int>(0);
    job.Start([&release, written](const std::function<bool(int)>& permille) {
      permille(400);
      while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      *written = 42;
    });
    QVERIFY(job.Running());
    QVERIFY(progress.wait(2000));
    QCOMPARE(progress.last()[0].toInt(), 400);
    QCOMPARE(done.count(), 0);
    release = true;
    QVERIFY(done.wait(2000));
    QCOMPARE(done.count(), 1);
    QCOMPARE(*written, 42);  // written before Done, read on this thread
    QVERIFY(!job.Running());
  }

  void backgroundJobCancelledOrReplacedSaysNothingOfTheOldRun() {
    BackgroundJob job;
    QSignalSpy done(&job, &BackgroundJob::Done);
    std::atomic<int> stopped{0};
    auto untilCancelled = [&stopped](const std::function<bool(int)>& permille) {
      while (permille(1)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ++stopped;
    };
    job.Start(untilCancelled);
    job.Cancel();  // returns once the worker has ended
    QCOMPARE(stopped.load(), 1);
    QVERIFY(!job.Running());

    // A run that ends at once and is replaced before its word arrives: only
    // the second run's end is told.
    std::atomic<int> second{0};
    job.Start([](const std::function<bool(int)>&) {});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    job.Start([&second](const std::function<bool(int)>&) { second = 1; });
    QVERIFY(done.wait(2000));
    QCoreApplication::processEvents();
    QCOMPARE(done.count(), 1);
    QCOMPARE(second.load(), 1);

    // Destroyed while running: cancels and joins.
    auto doomed = std::make_unique<BackgroundJob>();
    doomed->Start(untilCancelled);
    doomed.reset();
    QCOMPARE(stopped.load(), 2);
  }

  void windowSurfaceOutlivesItsWindow() {
    auto* window = new QWidget;
    window->setWindowTitle("List");
    QSignalSpy titles(window, &QWidget::windowTitleChanged);
    {
      QtWindowSurface surface(window);
      QCOMPARE(surface.Caption(), std::string("List"));
      QVERIFY(!surface.Gone());
      surface.SetCaption("1 record(s) completed");
      QCOMPARE(titles.count(), 1);
      QCOMPARE(window->windowTitle(), QString("1 record(s) completed"));

      surface.SetBusy(true);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
      surface.SetBusy(false);
      QVERIFY(!QApplication::overrideCursor());
      surface.SetBusy(false);  // unpaired: nobody else's pointer is taken away
      QApplication::setOverrideCursor(Qt::CrossCursor);
      surface.SetBusy(false);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
      QApplication::restoreOverrideCursor();

      // The window goes during a wait: every call stays safe.
      surface.SetBusy(true);
      delete window;
      QVERIFY(surface.Gone());
      QCOMPARE(surface.Caption(), std::string());
      surface.SetCaption("2 record(s) completed");
      surface.RunEventsOnce();
    }
    QVERIFY(!QApplication::overrideCursor());  // the pointer left busy comes back with the surface
  }

  void toolbarReportsKeysAndLendsPictures() {
    Toolbar bar;
    QCOMPARE(bar.AddButton("Save", ToolbarPicture("Save"), "Save As"), 1);
    QCOMPARE(bar.AddButton("Open", ToolbarPicture("Open"), "Open File"), 2);
    QCOMPARE(bar.AddButton("StopRecording", ToolbarPicture("StopRecording"), "Stop Recording", false), 3);
    bar.show();
    QCOMPARE(bar.Count(), 3);
    QCOMPARE(bar.Key(3), QString("StopRecording"));
    QVERIFY(bar.IsButtonVisible(1));
    QVERIFY(!bar.IsButtonVisible(3));
    QVERIFY(!bar.Picture(3).isNull());  // a hidden button keeps its picture

    QSignalSpy saves(bar.Action(1), &QAction::triggered);
    QSignalSpy opens(bar.Action(2), &QAction::triggered);
    QSignalSpy stops(bar.Action(3), &QAction::triggered);
    QTest::mouseClick(bar.Button(2), Qt::LeftButton);
    bar.Click(1);
    bar.Click(3);  // hidden: a click still reaches it
    bar.Click(9);  // no such button
    QCOMPARE(saves.count(), 1);
    QCOMPARE(opens.count(), 1);
    QCOMPARE(stops.count(), 1);
    // The usual keys, named in the tips; a tip set later keeps naming them.
    QCOMPARE(bar.Action(2)->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(bar.Button(2)->toolTip(), QString("Open File (Ctrl+O)"));
    QCOMPARE(bar.ToolTip(2), QString("Open File"));
    bar.SetShortcut(3, QKeySequence(Qt::CTRL | Qt::Key_T));
    bar.SetToolTip(3, "Stop now");
    QCOMPARE(bar.Action(3)->toolTip(), QString("Stop now (Ctrl+T)"));

    const qint64 stopPicture = bar.Picture(3).cacheKey();
    bar.LendPicture(1, 3);
    bar.SetToolTip(1, "Stop Recording");
    QCOMPARE(bar.Picture(1).cacheKey(), stopPicture);
    QCOMPARE(bar.ToolTip(1), QString("Stop Recording"));
    QCOMPARE(bar.Button(1)->toolTip(), QString("Stop Recording (Ctrl+S)"));
    QCOMPARE(bar.Key(1), QString("Save"));  // the key stays

    // A command button runs its function while its context exists.
    int printed = 0;
    auto context = std::make_unique<QObject>();
    QCOMPARE(bar.AddCommand("Print", ToolbarPicture("Save"), "Print", context.get(), [&printed] { ++printed; }), 4);
    QVERIFY(bar.IsButtonVisible(4));
    QTest::mouseClick(bar.Button(4), Qt::LeftButton);
    QCOMPARE(printed, 1);
    QCOMPARE(bar.Button(4)->toolTip(), QString("Print (Ctrl+P)"));
    context.reset();
    bar.Click(4);
    QCOMPARE(printed, 1);
  }

  void artworkIsCompiledIn() {
    for (const char* key : {"Save", "Open", "List", "Graph", "Sampling", "Memory", "Harmonic", "RTC", "StopRecording",
                            "StopRec", "sss"}) {
      QIcon icon = ToolbarPicture(key);
      QVERIFY2(!icon.pixmap(20, 20).isNull(), key);
    }
    for (const char* name : {"P1P2W", "P1P3W", "P3P3W2M", "P3P4W"})
      QVERIFY2(QFile::exists(WiringPicturePath(name)), name);
  }

  void captionPanelAsProgressBar() {
    CaptionPanel panel("KW1");
    panel.resize(57, 24);
    panel.show();
    QCOMPARE(panel.ShownText(), QString("KW1"));
    QVERIFY(!panel.Flooding());
    panel.SetFloodPercent(45);
    QVERIFY(panel.Flooding());
    QCOMPARE(panel.ShownText(), QString("45%"));
    panel.SetFloodPercent(250);
    QCOMPARE(panel.FloodPercent(), 100);
    QImage image = panel.grab().toImage();
    // Filled all the way: the middle of the left edge is the fill colour.
    QCOMPARE(image.pixelColor(3, image.height() / 2), panel.palette().color(QPalette::Highlight));
    panel.SetFloodPercent(-1);
    QCOMPARE(panel.ShownText(), QString("KW1"));
  }

  void twips() {
    QCOMPARE(TwipsToPixels(855), 57);
    QCOMPARE(TwipsToPixels(6825), 455);
    QCOMPARE(TwipsToPixels(3700), 247);
    QCOMPARE(TwipsToPixels(7), 0);
    QCOMPARE(TwipsToPixels(8), 1);
    QCOMPARE(TwipsToPixels(-8), -1);
    QCOMPARE(TwipsRect(120, 6720, 855, 375), QRect(8, 448, 57, 25));
    QWidget window;
    FixClientSizeTwips(window, 2040, 600);
    QCOMPARE(window.size(), QSize(136, 40));
  }

  void qtFileFilter() {
    QString selected;
    QCOMPARE(QtDialogs::QtFilter("All Files (*.*)|*.*|", 1, &selected), QString("All Files (*.*) (*)"));
    QCOMPARE(selected, QString("All Files (*.*) (*)"));
    QCOMPARE(QtDialogs::QtFilter("Data (*.mes)|*.mes;*.txt|All|*.*|", 2, &selected),
             QString("Data (*.mes) (*.mes *.txt);;All (*)"));
    QCOMPARE(selected, QString("All (*)"));
  }
};

QTEST_MAIN(PlatformWidgetsTest)
#include "PlatformWidgetsTest.moc"
